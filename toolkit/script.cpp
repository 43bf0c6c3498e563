// Scripted operator sessions: one script line is taken each time WMessage
// waits with no event pending, and each line becomes real input to the real
// widgets (or, with no window system, the event the input would give).
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "base/atomic_file.h"
#include "toolkit/core.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {

struct ScriptState {
    bool active = false;
    std::vector<std::string> lines;
    std::size_t next = 0;  // index of the next line to run
    std::function<void()> atEnd;
};

ScriptState& script() {
    static ScriptState s;
    return s;
}

[[noreturn]] void endProgram(int status, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "dropfix: %s\n", message.c_str());
    std::fflush(stderr);
    if (script().atEnd) script().atEnd();
    // Widgets go before the application object, and both before exit runs
    // the destructors of everything else.
    tearDown();
    std::exit(status);
}

struct ScriptError {
    std::string reason;
};

std::vector<std::string> splitWords(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool parseInt(const std::string& s, int& v) {
    char* end = nullptr;
    const long l = std::strtol(s.c_str(), &end, 10);
    if (end == s.c_str() || *end != '\0' || l < -1000000 || l > 1000000) return false;
    v = int(l);
    return true;
}

bool parseReal(const std::string& s, double& v) {
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end != s.c_str() && *end == '\0' && std::isfinite(v);
}

void expectWords(const std::vector<std::string>& w, std::size_t lo, std::size_t hi, const char* usage) {
    if (w.size() < lo || w.size() > hi) throw ScriptError{std::string("expected \"") + usage + "\""};
}

void settle() {
    if (noWindowSystem()) return;
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

struct KeyName {
    const char* name;
    int key;
    const char* text;
};

void runKey(const std::vector<std::string>& w) {
    expectWords(w, 2, 2, "key NAME");
    static const KeyName named[] = {{"Enter", Qt::Key_Return, "\r"},   {"Escape", Qt::Key_Escape, "\x1b"},
                                    {"Tab", Qt::Key_Tab, "\t"},        {"Up", Qt::Key_Up, ""},
                                    {"Down", Qt::Key_Down, ""},        {"Left", Qt::Key_Left, ""},
                                    {"Right", Qt::Key_Right, ""},      {"Backspace", Qt::Key_Backspace, "\b"},
                                    {"Space", Qt::Key_Space, " "},     {"Plus", Qt::Key_Plus, "+"},
                                    {"Minus", Qt::Key_Minus, "-"},     {"PageUp", Qt::Key_PageUp, ""},
                                    {"PageDown", Qt::Key_PageDown, ""}};
    int key = 0;
    QString text;
    for (const auto& k : named)
        if (QString::fromStdString(w[1]).compare(k.name, Qt::CaseInsensitive) == 0) {
            key = k.key;
            text = QString::fromLatin1(k.text);
        }
    if (key == 0) {
        const std::string& n = w[1];
        if (n.size() != 1 || !std::isalnum(static_cast<unsigned char>(n[0])))
            throw ScriptError{"unknown key \"" + n + "\""};
        key = std::toupper(static_cast<unsigned char>(n[0]));
        text = QString::fromLatin1(n.c_str());
    }
    if (noWindowSystem()) {
        handleMainWindowKey(key, 0, text);
        return;
    }
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    if (!target) target = mainWindowWidget();
    if (!target) throw ScriptError{"no window takes the key"};
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    // The press may have closed or moved the focus; the release goes where the focus is now.
    if (QWidget* now = QApplication::focusWidget()) target = now;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void runMenu(const std::vector<std::string>& w) {
    expectWords(w, 2, 2, "menu ID");
    int id = 0;
    if (!parseInt(w[1], id)) throw ScriptError{"menu needs a command id"};
    bool known = false;
    for (const auto& item : core().menu) known = known || item.id == id;
    if (!known) throw ScriptError{"the main window has no menu item " + w[1]};
    if (QMainWindow* win = mainWindowWidget()) {
        for (QAction* a : win->menuBar()->actions())
            if (a->data().toInt() == id) a->trigger();
    } else {
        postMenuSelect(id);
    }
}

// The client pixel of temperature t and depth d; depths are plotted
// negative, so depth d lies at user y = -d.
std::pair<int, int> plotPixel(double t, double d) {
    const double px = std::floor(userToPixelX(t)), py = std::floor(userToPixelY(-d));
    if (!(px >= 0 && py >= 0 && px < core().clientWidth && py < core().clientHeight))
        throw ScriptError{"the point lies outside the plot"};
    return {int(px), int(py)};
}

// "mouse wheel T D up|down [ctrl]": a turn of the wheel over the plot.
void runWheel(const std::vector<std::string>& w) {
    expectWords(w, 5, 6, "mouse wheel T D up|down [ctrl]");
    double t = 0, d = 0;
    if (!parseReal(w[2], t) || !parseReal(w[3], d))
        throw ScriptError{"mouse needs a temperature and a depth"};
    if (w[4] != "up" && w[4] != "down") throw ScriptError{"the wheel turns up or down"};
    if (w.size() == 6 && w[5] != "ctrl") throw ScriptError{"the wheel takes only ctrl"};
    const auto [px, py] = plotPixel(t, d);
    deliverWheel(px, py, w[4] == "up", w.size() == 6 ? Modifier::Ctrl : 0);
}

void runMouse(const std::vector<std::string>& w) {
    if (w.size() > 1 && w[1] == "wheel") {
        runWheel(w);
        return;
    }
    expectWords(w, 4, 5, "mouse down|move|up T D [BUTTON]");
    int kind = 0;
    if (w[1] == "down")
        kind = EventType::MouseButDown;
    else if (w[1] == "move")
        kind = EventType::MouseMove;
    else if (w[1] == "up")
        kind = EventType::MouseButUp;
    else
        throw ScriptError{"mouse needs down, move or up"};
    double t = 0, d = 0;
    int button = 1;
    if (!parseReal(w[2], t) || !parseReal(w[3], d))
        throw ScriptError{"mouse needs a temperature and a depth"};
    if (w.size() == 5 && (!parseInt(w[4], button) || button < 1 || button > 5))
        throw ScriptError{"mouse button must be 1 to 5"};
    const auto [px, py] = plotPixel(t, d);
    deliverPointer(kind, px, py, button);
}

void runResize(const std::vector<std::string>& w) {
    expectWords(w, 3, 3, "resize W H");
    int width = 0, height = 0;
    if (!parseInt(w[1], width) || !parseInt(w[2], height) || width < 1 || height < 1)
        throw ScriptError{"resize needs a width and a height in pixels"};
    if (QWidget* area = clientArea()) {
        QWidget* top = area->window();
        top->resize(top->width() + width - area->width(), top->height() + height - area->height());
        settle();
    } else {
        clientResized(width, height);
    }
}

void runExpose() {
    EventRecord e;
    e.data1 = core().clientWidth;
    e.data2 = core().clientHeight;
    pixelToUser(0, 0, e.unitX, e.unitY);
    e.unitWidth = core().draw.x2 - core().draw.x1;
    e.unitHeight = core().draw.y2 - core().draw.y1;
    if (QWidget* area = clientArea()) area->update();
    postEvent(EventType::Expose, e);
}

void runClose() {
    if (QMainWindow* win = mainWindowWidget())
        win->close();  // the window turns this into a CloseRequest
    else
        postEvent(EventType::CloseRequest, EventRecord{});
}

void runScreenshot(const std::string& rest) {
    if (rest.empty()) throw ScriptError{"screenshot needs a file name"};
    QMainWindow* win = mainWindowWidget();
    if (!win) throw ScriptError{"no main window to capture"};
    settle();
    if (!win->grab().save(QString::fromStdString(rest), "PNG")) throw ScriptError{"cannot write " + rest};
}

void runAnswer(const std::vector<std::string>& w) {
    expectWords(w, 2, 2, "answer ok|cancel|yes|no|retry|abort|ignore");
    static const std::pair<const char*, Answer> words[] = {
        {"ok", Answer::Ok},       {"cancel", Answer::Cancel}, {"yes", Answer::Yes},      {"no", Answer::No},
        {"retry", Answer::Retry}, {"abort", Answer::Abort},   {"ignore", Answer::Ignore}};
    for (const auto& [word, a] : words)
        if (w[1] == word) {
            queueAnswer(a);
            return;
        }
    throw ScriptError{"unknown answer \"" + w[1] + "\""};
}

// The text after the command word, without surrounding blanks.
std::string restOfLine(const std::string& line, const std::string& command) {
    std::string rest = line.substr(line.find(command) + command.size());
    const auto first = rest.find_first_not_of(" \t");
    const auto last = rest.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string{} : rest.substr(first, last - first + 1);
}

void runLine(const std::string& line) {
    const auto w = splitWords(line);
    const std::string& c = w[0];
    if (c == "key")
        runKey(w);
    else if (c == "menu")
        runMenu(w);
    else if (c == "mouse")
        runMouse(w);
    else if (c == "answer")
        runAnswer(w);
    else if (c == "file") {
        const std::string rest = restOfLine(line, c);
        if (rest.empty()) throw ScriptError{"expected \"file PATH\" or \"file cancel\""};
        queueFile(rest == "cancel" ? std::nullopt : std::optional<std::string>(rest));
    } else if (c == "resize")
        runResize(w);
    else if (c == "expose") {
        expectWords(w, 1, 1, "expose");
        runExpose();
    } else if (c == "close") {
        expectWords(w, 1, 1, "close");
        runClose();
    } else if (c == "screenshot")
        runScreenshot(restOfLine(line, c));
    else if (c == "overview" || c == "finding") {
        std::string error;
        if (!runPanelScriptCommand(w, error)) throw ScriptError{error};
    } else if (c == "click" || c == "type" || c == "select") {
        std::string error;
        if (!runDialogScriptCommand(w, error)) throw ScriptError{error};
    } else
        throw ScriptError{"unknown command \"" + c + "\""};
}

}  // namespace

bool startScript(const std::string& path, std::string& error) {
    std::string bytes;
    if (const ReadResult r = readRegularFile(path, bytes, 16u << 20); !r) {
        error = "cannot read the script: " + r.reason;
        return false;
    }
    auto& s = script();
    s = ScriptState{};
    LineReader reader(bytes);
    for (std::string_view line; reader.next(line);) s.lines.emplace_back(line);
    s.active = true;
    return true;
}

void atScriptEnd(std::function<void()> f) {
    script().atEnd = std::move(f);
}

bool scriptActive() {
    return script().active;
}

bool scriptedSession() {
    return scriptActive();
}

void stopScript() {
    script() = ScriptState{};
}

void transcript(const std::string& line) {
    if (!scriptActive()) return;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void runScriptUntilEvent() {
    auto& s = script();
    while (core().queue.empty()) {
        if (s.next >= s.lines.size())
            endProgram(3, "the script ended while the program still waits for input");
        const std::size_t number = ++s.next;
        const std::string& line = s.lines[number - 1];
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        try {
            runLine(line);
        } catch (const ScriptError& e) {
            endProgram(2, "script line " + std::to_string(number) + " \"" + line + "\": " + e.reason);
        }
        settle();
    }
}

}  // namespace toolkit
