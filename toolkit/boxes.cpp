// Message boxes, the file selection dialog and the help viewer. In test mode
// and in scripted sessions the answers come from the session queue and each
// box or selection is recorded (and written to the script's transcript).
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>

#include "base/fixed_text.h"
#include "toolkit/core.h"
#include "toolkit/session.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {

Answer defaultAnswer(int buttons, int defaultButton) {
    static const Answer table[6][3] = {{Answer::Ok, Answer::Ok, Answer::Ok},
                                       {Answer::Ok, Answer::Cancel, Answer::Cancel},
                                       {Answer::Retry, Answer::Cancel, Answer::Cancel},
                                       {Answer::Yes, Answer::No, Answer::No},
                                       {Answer::Yes, Answer::No, Answer::Cancel},
                                       {Answer::Abort, Answer::Retry, Answer::Ignore}};
    if (buttons < 0 || buttons > 5) buttons = 0;
    if (defaultButton < 1 || defaultButton > 3) defaultButton = 1;
    return table[buttons][defaultButton - 1];
}

const char* answerWord(Answer a) {
    switch (a) {
        case Answer::Ok: return "ok";
        case Answer::Cancel: return "cancel";
        case Answer::Yes: return "yes";
        case Answer::No: return "no";
        case Answer::Retry: return "retry";
        case Answer::Abort: return "abort";
        case Answer::Ignore: return "ignore";
    }
    return "ok";
}

// Control characters are escaped, so that a text holding a NUL or a stray
// control byte shows whole in the transcript and the line stays one line.
std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7f) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool answersFromQueue() {
    return noWindowSystem() || scriptActive() || !session().answers.empty();
}
bool filesFromQueue() {
    return noWindowSystem() || scriptActive() || !session().files.empty();
}

// The whole text, NULs included, as the transcript shows it.
QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

Answer showQtBox(int buttons, int icon, int defaultButton, const QString& message, const QString& title) {
    using B = QMessageBox::StandardButton;
    static const B sets[6][3] = {{B::Ok, B::NoButton, B::NoButton},  {B::Ok, B::Cancel, B::NoButton},
                                 {B::Retry, B::Cancel, B::NoButton}, {B::Yes, B::No, B::NoButton},
                                 {B::Yes, B::No, B::Cancel},         {B::Abort, B::Retry, B::Ignore}};
    static const QMessageBox::Icon icons[5] = {QMessageBox::NoIcon, QMessageBox::Critical,
                                               QMessageBox::Question, QMessageBox::Warning,
                                               QMessageBox::Information};
    if (buttons < 0 || buttons > 5) buttons = 0;
    QMessageBox box(icons[icon >= 0 && icon <= 4 ? icon : 0], title, message, QMessageBox::NoButton,
                    mainWindowWidget());
    for (B b : sets[buttons])
        if (b != B::NoButton) box.addButton(b);
    const int d = (defaultButton >= 1 && defaultButton <= 3) ? defaultButton - 1 : 0;
    if (sets[buttons][d] != B::NoButton) box.setDefaultButton(sets[buttons][d]);
    QWidget* focus = QApplication::focusWidget();
    const int r = box.exec();
    if (focus) focus->setFocus();
    switch (r) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Retry: return Answer::Retry;
        case QMessageBox::Abort: return Answer::Abort;
        case QMessageBox::Ignore: return Answer::Ignore;
        default: return buttons == 0 ? Answer::Ok : Answer::Cancel;
    }
}

// "Data Files (*.dat)|*.dat|" becomes the Qt filter list, one entry a pair.
QStringList qtFilters(std::string_view filter) {
    QStringList parts = QString::fromLatin1(filter.data(), qsizetype(filter.size())).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(';', ' ');
        if (pattern.isEmpty()) continue;
        out << (desc.endsWith('(' + pattern + ')') ? desc : desc + " (" + pattern + ")");
    }
    return out;
}

std::optional<std::string> showQtFileDialog(std::string_view filter, int flags, const std::string& pathIn,
                                            const QString& title) {
    QFileDialog dlg(mainWindowWidget(), title);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = qtFilters(filter);
    if (!filters.isEmpty()) dlg.setNameFilters(filters);
    const QFileInfo start(QString::fromStdString(std::string(trimRight(pathIn))));
    if (!pathIn.empty() && start.isDir())
        dlg.setDirectory(start.absoluteFilePath());
    else if (!pathIn.empty()) {
        dlg.setDirectory(start.absolutePath());
        dlg.selectFile(start.fileName());
    }
    dlg.setAcceptMode(flags & 1 ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (flags & 16)
        dlg.setFileMode(QFileDialog::ExistingFiles);
    else if (flags & 128)
        dlg.setFileMode(QFileDialog::ExistingFile);
    else
        dlg.setFileMode(QFileDialog::AnyFile);
    if ((flags & 1) && !(flags & 2)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if ((flags & 32) && !filters.isEmpty()) {
        // The suffix of the first pattern, "*.dat" giving "dat".
        const QString first = qtFilters(filter).first();
        const qsizetype dot = first.lastIndexOf("*.");
        if (dot >= 0) dlg.setDefaultSuffix(first.mid(dot + 2).section(QRegularExpression("[ );]"), 0, 0));
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dlg.selectedFiles().first()).toStdString();
}

std::filesystem::path programDirectory() {
    if (!noWindowSystem()) return QCoreApplication::applicationDirPath().toStdString();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

bool isReadableFile(const std::filesystem::path& p) {
    std::error_code ec;
    return !p.empty() && std::filesystem::is_regular_file(p, ec) && access(p.c_str(), R_OK) == 0;
}

}  // namespace

std::optional<std::string> findHelpDocument(std::string_view document) {
    const std::string given(trimRight(document));
    if (given.empty()) return std::nullopt;
    if (isReadableFile(given)) return given;
    // By its file name beside the program; the name may be written with either separator.
    const std::size_t cut = given.find_last_of("/\\");
    const std::string name = cut == std::string::npos ? given : given.substr(cut + 1);
    const auto beside = programDirectory() / name;
    if (!name.empty() && isReadableFile(beside)) return beside.string();
    return std::nullopt;
}

}  // namespace toolkit

using toolkit::session;

void WMessageBox(int buttons, int icon, int defaultButton, std::string_view message, std::string_view title) {
    toolkit::BoxRecord r{
        buttons, icon, defaultButton, std::string(trimRight(message)), std::string(trimRight(title)),
        0,       false};
    auto& s = session();
    toolkit::Answer a;
    if (toolkit::answersFromQueue()) {
        if (!s.answers.empty()) {
            a = s.answers.front();
            s.answers.pop_front();
        } else {
            a = toolkit::defaultAnswer(buttons, defaultButton);
            r.usedDefault = true;
        }
    } else {
        a = toolkit::showQtBox(buttons, icon, defaultButton, toolkit::latin1(r.message),
                               toolkit::latin1(r.title));
    }
    r.exitCode = toolkit::exitCodeFor(a);
    s.lastDialogExit = r.exitCode;
    toolkit::transcript("box " + toolkit::quoted(r.title) + " " + toolkit::quoted(r.message) + " -> " +
                        toolkit::answerWord(a) + (r.usedDefault ? " (default)" : ""));
    s.boxes.push_back(std::move(r));
}

int WInfoDialog(int what) {
    return what == 4 ? session().lastDialogExit : 0;
}

void WSelectFile(std::string_view filter, int flags, std::string& path, std::string_view title) {
    auto& s = session();
    std::string shownTitle(trimRight(title));
    if (shownTitle.empty()) shownTitle = "Select File";
    toolkit::FileRecord r{std::string(filter), shownTitle, path, std::nullopt};
    bool usedDefault = false;
    if (toolkit::filesFromQueue()) {
        if (!s.files.empty()) {
            r.chosen = s.files.front();
            s.files.pop_front();
        } else {
            usedDefault = true;
        }
    } else {
        r.chosen = toolkit::showQtFileDialog(filter, flags, path, QString::fromStdString(shownTitle));
    }
    if (r.chosen) {
        path = *r.chosen;
        if (flags & 8) {
            // As the real dialog does, the chosen file's directory becomes the working directory.
            std::error_code ec;
            const auto dir = std::filesystem::absolute(*r.chosen, ec).parent_path();
            if (!ec && std::filesystem::is_directory(dir, ec)) std::filesystem::current_path(dir, ec);
        }
    }
    s.lastDialogExit = r.chosen ? 1 : 0;
    toolkit::transcript("file " + toolkit::quoted(shownTitle) + " -> " + (r.chosen ? *r.chosen : "cancel") +
                        (usedDefault ? " (default)" : ""));
    s.fileRecords.push_back(std::move(r));
}

namespace {
// To the right of the main window where the screen has room, else at its
// left edge, so that the page covers as little of the plot as it can.
void placeBeside(QWidget& page, const QWidget* main) {
    if (!main) return;
    const QRect frame = main->frameGeometry();
    const QScreen* screen = main->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    int x = frame.right() + 1;
    if (!room.isNull() && x + page.width() > room.right())
        x = std::max(room.left(), room.right() - page.width());
    page.move(x, frame.top());
}
}  // namespace

void WHelpFile(std::string_view document) {
    const auto found = toolkit::findHelpDocument(document);
    if (!found) {
        session().lastError = ToolkitError::HelpMissing;
        return;
    }
    if (toolkit::noWindowSystem()) return;
    auto& viewer = toolkit::core().helpViewer;
    if (!viewer) {
        viewer = std::make_unique<QTextBrowser>();
        viewer->setWindowTitle("Dropfix Help");
        viewer->setOpenExternalLinks(true);
        viewer->resize(760, 640);
        // The operator reads the page while going on with single keys in
        // the main window: the page never takes the keyboard by itself.
        viewer->setAttribute(Qt::WA_ShowWithoutActivating);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), viewer.get());
        QObject::connect(close, &QShortcut::activated, viewer.get(), &QWidget::close);
        placeBeside(*viewer, toolkit::mainWindowWidget());
    }
    viewer->setSource(QUrl::fromLocalFile(QString::fromStdString(*found)));
    viewer->show();
    viewer->raise();
}

int WInfoError(int) {
    return std::exchange(session().lastError, 0);
}
