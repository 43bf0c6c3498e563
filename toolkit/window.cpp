// Toolkit start-up and the one main window: its menu bar of single-key
// accelerators, the status bar, and the client area that shows the backing
// image into which every drawing operation paints.
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "base/atomic_file.h"
#include "base/fixed_text.h"
#include "resources/embedded.h"
#include "toolkit/core.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {
// Where the application and its windows rest when the program ends without
// closing them; reachable, so that leak checkers stay quiet.
struct Parked {
    QApplication* app = nullptr;
    QWidget* window = nullptr;
    QWidget* help = nullptr;
} parked;
}  // namespace

CoreState& coreState() {
    static CoreState s;
    return s;
}

bool noWindowSystem() {
    return headless() || !core().app;
}

bool windowSystemReachable() {
    if (headless() || core().app) return true;
#if defined(__linux__)
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
#else
    return true;
#endif
}

namespace {

char programName[] = "dropfix";
char* defaultArgv[] = {programName, nullptr};

// Underlined letters stay visible: the operator learns the single-key
// commands from them, so they must not wait for the Alt key.
class MnemonicStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_UnderlineShortcut) return 1;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

int modifierBits(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

int buttonNumber(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::MiddleButton: return 2;
        case Qt::RightButton: return 3;
        default: return 0;
    }
}

bool exposurePending() {
    const auto& q = core().queue;
    return std::any_of(q.begin(), q.end(), [](const auto& e) {
        return e.first == EventType::Expose || e.first == EventType::Resize;
    });
}

EventRecord pointerEvent(int data1, int data2, QPointF pos) {
    EventRecord e;
    e.data1 = data1;
    e.data2 = data2;
    e.x = int(pos.x());
    e.y = int(pos.y());
    pixelToUser(e.x, e.y, e.unitX, e.unitY);
    return e;
}

}  // namespace

// The client area: shows the backing image and turns pointer input into events.
class Canvas : public QWidget {
public:
    explicit Canvas(QWidget* parent) : QWidget(parent) {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* ev) override {
        // The window's first picture is painted only once the editor has
        // taken the exposure it redraws for; until then the canvas is blank.
        if (!core().deferred.on || !exposurePending()) finishPainting();
        core().updatePending = false;
        QPainter p(this);
        // The image holds device pixels (see backingImageFor); the rectangle
        // repainted is in the widget's own units. Only what the image does
        // not cover, while it waits for a new size, is filled white.
        const QImage& img = core().image;
        const double dpr = img.devicePixelRatio();
        const QRect covered(QPoint(0, 0), (QSizeF(img.size()) / dpr).toSize());
        if (!covered.contains(ev->rect())) p.fillRect(ev->rect(), Qt::white);
        const QRectF from(QPointF(ev->rect().topLeft()) * dpr, QSizeF(ev->rect().size()) * dpr);
        p.drawImage(QRectF(ev->rect()), img, from);
    }
    void resizeEvent(QResizeEvent*) override { clientResized(width(), height()); }
    void showEvent(QShowEvent*) override {
        // Shown for the first time or restored: the editor hears of it as an exposure.
        EventRecord e;
        e.data1 = width();
        e.data2 = height();
        pixelToUser(0, 0, e.unitX, e.unitY);
        e.unitWidth = core().draw.x2 - core().draw.x1;
        e.unitHeight = core().draw.y2 - core().draw.y1;
        postEvent(EventType::Expose, e);
    }
    void mousePressEvent(QMouseEvent* ev) override {
        if (const int b = buttonNumber(ev->button()))
            postEvent(EventType::MouseButDown,
                      pointerEvent(b, modifierBits(ev->modifiers()), ev->position()));
    }
    void mouseDoubleClickEvent(QMouseEvent* ev) override { mousePressEvent(ev); }
    void mouseReleaseEvent(QMouseEvent* ev) override {
        if (const int b = buttonNumber(ev->button()))
            postEvent(EventType::MouseButUp, pointerEvent(b, modifierBits(ev->modifiers()), ev->position()));
    }
    void mouseMoveEvent(QMouseEvent* ev) override {
        postEvent(EventType::MouseMove, pointerEvent(-1, modifierBits(ev->modifiers()), ev->position()));
    }
    void wheelEvent(QWheelEvent* ev) override {
        const int dy = ev->angleDelta().y();
        if (dy == 0) return;
        postEvent(EventType::MouseButDown,
                  pointerEvent(dy > 0 ? 4 : 5, modifierBits(ev->modifiers()), ev->position()));
    }
};

class MainWindow : public QMainWindow {
public:
    MainWindow() {
        canvas_ = new Canvas(this);
        setCentralWidget(canvas_);
    }
    Canvas* canvas() const { return canvas_; }
    void closeForGood() {
        closing_ = true;
        close();
    }

protected:
    void closeEvent(QCloseEvent* ev) override {
        if (closing_) {
            ev->accept();
            return;
        }
        // Only the editor closes its window; the close box is a request.
        ev->ignore();
        postEvent(EventType::CloseRequest, EventRecord{});
    }
    void keyPressEvent(QKeyEvent* ev) override {
        // A key that a dialog's field left unused climbs up to here; it is
        // the dialog's and must not run a menu command.
        QWidget* focus = QApplication::focusWidget();
        const bool fromDialog = focus && focus != canvas_ && canvas_->isAncestorOf(focus);
        if (fromDialog || panelHasKeyboard() ||
            !handleMainWindowKey(ev->key(), int(ev->modifiers()), ev->text()))
            QMainWindow::keyPressEvent(ev);
    }

private:
    Canvas* canvas_ = nullptr;
    bool closing_ = false;
};

namespace {
QtMessageHandler qtHandler = nullptr;

// The offscreen platform says for every window that it cannot pass on size
// hints or raise it; in a scripted run that noise would bury the messages
// that matter on standard error.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith("This plugin does not support")) return;
    if (qtHandler) qtHandler(type, context, message);
}
}  // namespace

void setArguments(int& argc, char** argv) {
    core().argc = argc;
    core().argv = argv;
}

// A scripted run sees one screen of 1920 x 1200 pixels whatever the Qt
// version's own offscreen default, so that its window, and with it every
// screenshot, has the same size everywhere and shows the whole menu bar.
void useOffscreenPlatform() {
    static constexpr std::string_view config =
        "{\"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": false, \"screens\": [{\"name\": "
        "\"Dropfix\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1200, \"logicalDpi\": 96, "
        "\"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
    std::error_code ec;
    const auto file = std::filesystem::temp_directory_path(ec) / "dropfix-offscreen-1920x1200.json";
    std::string existing;
    const bool ready = !ec && readFileBytes(file.string(), existing, 4096) && existing == config;
    if (ready || (!ec && replaceFileAtomically(file.string(), config)))
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file.string()).c_str(), 1);
    else
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

QImage* backingImage() {
    auto& c = core();
    // A background being gathered is painted, or copied, once it is complete.
    return c.windowOpen && !c.image.isNull() && !c.background.gathering && !c.deferred.on ? &c.image
                                                                                          : nullptr;
}

// Asks for one repaint of the whole canvas however many calls draw before it
// happens; the repaint comes when the editor next waits for an event.
void imageChanged() {
    auto& c = core();
    if (c.updatePending || !c.window) return;
    c.updatePending = true;
    c.window->canvas()->update();
}

namespace {
void openImagePainter(QImage& img) {
    auto& c = core();
    c.painter = std::make_unique<QPainter>(&img);
    c.painterDefaultHints = c.painter->renderHints();
    c.pixels = {};
    if (img.format() == QImage::Format_RGB32 && img.devicePixelRatio() == 1.0)
        c.pixels = {reinterpret_cast<std::uint32_t*>(img.bits()), img.bytesPerLine() / 4, img.width(),
                    img.height()};
}

QPainter* openPainter(QPainter::RenderHints hints) {
    auto& c = core();
    QImage* img = backingImage();
    if (!img) return nullptr;
    if (!c.painter) openImagePainter(*img);
    QPainter& p = *c.painter;
    const QPainter::RenderHints want = c.painterDefaultHints | hints;
    if (p.renderHints() != want) {
        p.setRenderHints(p.renderHints() & ~want, false);
        p.setRenderHints(want, true);
    }
    return &p;
}
}  // namespace

QPainter* imagePainter(QPainter::RenderHints hints) {
    flushLine();
    return openPainter(hints);
}

void queueLine(QPointF from, QPointF to, const QPen& pen) {
    auto& c = core();
    if (!backingImage()) return;
    QPolygonF& line = c.pendingLine;
    if (!line.isEmpty() && (line.back() != from || c.pendingPen != pen)) flushLine();
    if (line.isEmpty()) {
        line.append(from);
        c.pendingPen = pen;
    }
    line.append(to);
}

void flushLine() {
    auto& c = core();
    if (c.pendingLine.size() >= 2) {
        if (QPainter* p = openPainter({})) {
            p->setPen(c.pendingPen);
            p->drawPolyline(c.pendingLine);
            imageChanged();
        }
    }
    c.pendingLine.clear();
}

const PixelTarget* openLinePixels() {
    auto& c = core();
    QImage* img = backingImage();
    if (!img) return nullptr;
    flushLine();
    if (!c.painter) openImagePainter(*img);
    return c.pixels.bits ? &c.pixels : nullptr;
}

void finishPainting() {
    paintDeferred();
    flushLine();
    core().painter.reset();
    core().pixels = {};
}

void dropCachedFonts() {
    core().userFonts.clear();
    core().statusFont.reset();
    core().background = BackgroundCache{};
}

// An image in the plot's pixel format. On Linux its pixels lie on huge
// pages: a plot image is several megabytes, and touching it page by page at
// start-up costs more than painting it. From start to exit of a scripted
// run on the demo cruise (perf stat, 7 runs, 1600 x 1000 pixels): 3190 page
// faults and about 100 ms of processor time with them, 7490 and 140 to
// 175 ms without. The last huge page is whole too: a tail of small pages
// costs some milliseconds at start-up, more than the fraction of a megabyte
// it saves is worth.
QImage imageOfPlotSize(int width, int height, double dpr) {
    width = std::max(width, 1);
    height = std::max(height, 1);
#if defined(__linux__)
    constexpr std::size_t huge = std::size_t(2) << 20;
    const auto bpl = std::size_t(width) * 4;
    const std::size_t bytes = (bpl * std::size_t(height) + huge - 1) / huge * huge;
    if (void* pixels = nullptr; ::posix_memalign(&pixels, huge, bytes) == 0) {
        ::madvise(pixels, bytes, MADV_HUGEPAGE);
        QImage img(
            static_cast<uchar*>(pixels), width, height, qsizetype(bpl), QImage::Format_RGB32,
            [](void* p) { std::free(p); }, pixels);
        img.setDevicePixelRatio(dpr);
        return img;
    }
#endif
    QImage img(width, height, QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    return img;
}

// The backing image of a client area, made at the screen's device pixel
// ratio, so that the plot is as sharp on a HiDPI screen as on any other.
// Drawing still works in the client's own pixels: the painter scales.
QImage backingImageFor(int width, int height) {
    const double dpr = std::max(1.0, qApp ? qApp->devicePixelRatio() : 1.0);
    QImage img = imageOfPlotSize(int(std::lround(width * dpr)), int(std::lround(height * dpr)), dpr);
    img.fill(Qt::white);
    return img;
}

void clientResized(int width, int height) {
    auto& c = core();
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == c.clientWidth && height == c.clientHeight && (noWindowSystem() || !c.image.isNull())) return;
    c.clientWidth = width;
    c.clientHeight = height;
    if (!noWindowSystem()) {
        finishPainting();
        c.image = backingImageFor(width, height);
    }
    EventRecord e;
    e.data1 = width;
    e.data2 = height;
    postEvent(EventType::Resize, e);
}

void postMenuSelect(int id) {
    EventRecord e;
    e.data1 = id;
    postEvent(EventType::MenuSelect, e);
}

bool handleMainWindowKey(int qtKey, int qtModifiers, const QString& text) {
    const auto mods = Qt::KeyboardModifiers(qtModifiers) & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (dialogHasKeyboard()) return false;
    if (panelHasKeyboard()) {
        if (noWindowSystem()) panelKey(qtKey);
        return false;
    }
    if (mods == Qt::NoModifier) {
        std::string key;
        if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)
            key = "Enter";
        else if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
            key = std::string(1, char(qtKey));
        for (const auto& item : core().menu)
            if (!key.empty() && item.key == key) {
                postMenuSelect(item.id);
                return true;
            }
    }
    EventRecord e;
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)
        e.data1 = 13;
    else if (qtKey == Qt::Key_Escape)
        e.data1 = 27;
    else if (qtKey == Qt::Key_Tab)
        e.data1 = 9;
    else if (qtKey == Qt::Key_Backspace)
        e.data1 = 8;
    else if (text.size() == 1 && text[0].unicode() < 128 && text[0].isPrint())
        e.data1 = text[0].unicode();
    else
        e.data1 = qtKey;
    e.data2 = modifierBits(Qt::KeyboardModifiers(qtModifiers));
    postEvent(EventType::KeyDown, e);
    return false;
}

std::pair<int, int> clientSizeFor(int width, int height, int screenWidth, int screenHeight) {
    return {width > 0 ? width : screenWidth * 80 / 100, height > 0 ? height : screenHeight * 80 / 100};
}

}  // namespace toolkit

QWidget* toolkit::clientArea() {
    auto& w = core().window;
    return w ? w->canvas() : nullptr;
}

using toolkit::core;

void WInitialise(std::string_view) {
    auto& c = core();
    if (!toolkit::headless() && !c.app) {
        if (!c.argv) c.argv = toolkit::defaultArgv;
        toolkit::qtHandler = qInstallMessageHandler(toolkit::quietPlatformNotes);
        c.app = std::make_unique<QApplication>(c.argc, c.argv);
        QApplication::setApplicationName("Dropfix");
        if (const auto icon = embeddedResource("dropfix-icon.png")) {
            QPixmap pm;
            pm.loadFromData(reinterpret_cast<const uchar*>(icon->data()), uint(icon->size()), "PNG");
            QApplication::setWindowIcon(QIcon(pm));
        }
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            c.screenWidth = screen->geometry().width();
            c.screenHeight = screen->geometry().height();
        }
    }
    if (c.initialised) return;
    c.initialised = true;
    toolkit::session().lastError = 0;
}

namespace {

void buildMenuBar(toolkit::MainWindow& w, bool withStatusBar) {
    QMenuBar* bar = w.menuBar();
    bar->setStyle(new toolkit::MnemonicStyle);  // NOLINT: owned by the menu bar below
    bar->style()->setParent(bar);
    for (const auto& item : core().menu) {
        QAction* a = bar->addAction(QString::fromStdString(item.text));
        a->setData(item.id);
        a->setStatusTip(QString::fromStdString(item.status));
        const int id = item.id;
        QObject::connect(a, &QAction::triggered, bar, [id] { toolkit::postMenuSelect(id); });
    }
    if (withStatusBar) {
        QStatusBar* status = w.statusBar();
        QObject::connect(bar, &QMenuBar::hovered, status,
                         [status](QAction* a) { status->showMessage(a ? a->statusTip() : QString()); });
        // The editor's own word stands in a label of its own, so that the
        // menu's hover texts show over it for a moment and leave it there.
        auto* word = new QLabel(status);  // owned by the status bar
        word->setObjectName("dropfix-word");
        status->addWidget(word, 1);
    }
}

Qt::WindowFlags windowFlagsFor(int flags) {
    Qt::WindowFlags f = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (flags & WinStyle::SysMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (flags & WinStyle::MinButton) f |= Qt::WindowMinimizeButtonHint;
    if (flags & WinStyle::MaxButton) f |= Qt::WindowMaximizeButtonHint;
    if (flags & WinStyle::AlwaysOnTop) f |= Qt::WindowStaysOnTopHint;
    return f;
}

void openQtWindow(const WindowRecord& rec, int clientW, int clientH) {
    auto& c = core();
    c.window = std::make_unique<toolkit::MainWindow>();
    auto& w = *c.window;
    w.setWindowFlags(windowFlagsFor(rec.flags));
    w.setWindowTitle(QString::fromStdString(std::string(trimRight(rec.title))));
    buildMenuBar(w, rec.flags & WinStyle::StatusBar);
    toolkit::finishPainting();
    c.updatePending = false;
    c.image = toolkit::backingImageFor(clientW, clientH);
    toolkit::deferPainting();
    const int barsH = w.menuBar()->sizeHint().height() +
                      ((rec.flags & WinStyle::StatusBar) ? w.statusBar()->sizeHint().height() : 0);
    const int frameW = clientW, frameH = clientH + barsH;
    if (rec.flags & WinStyle::FixedSize)
        w.setFixedSize(frameW, frameH);
    else
        w.resize(frameW, frameH);
    QRect screen(0, 0, c.screenWidth, c.screenHeight);
    if (const QScreen* s = QGuiApplication::primaryScreen()) screen = s->availableGeometry();
    const int x = rec.x < 0 ? screen.x() + (screen.width() - frameW) / 2 : rec.x;
    const int y = rec.y < 0 ? screen.y() + (screen.height() - frameH) / 2 : rec.y;
    w.move(x, y);
    if (rec.flags & WinStyle::Hidden) return;
    if (rec.flags & WinStyle::Maximised)
        w.showMaximized();
    else
        w.show();
    w.canvas()->setFocus();
}

}  // namespace

void WindowOpen(const WindowRecord& rec) {
    auto& c = core();
    if (c.windowOpen) return;
    // With no window system the screen is nominal, so that 80 % of it is
    // the nominal client area of 1600 x 1000.
    const bool nominal = toolkit::noWindowSystem();
    const auto [clientW, clientH] = toolkit::clientSizeFor(
        rec.width, rec.height, nominal ? toolkit::nominalClientWidth * 100 / 80 : c.screenWidth,
        nominal ? toolkit::nominalClientHeight * 100 / 80 : c.screenHeight);
    c.windowOpen = true;
    c.clientWidth = clientW;
    c.clientHeight = clientH;
    c.queue.clear();
    c.pointerGrab = Qt::NoButton;
    toolkit::resetEventTable();
    toolkit::resetDrawState();
    c.menu.clear();
    if (rec.menu != 0) c.menu = toolkit::loadMenuResource(rec.menu).items;
    if (!toolkit::noWindowSystem()) openQtWindow(rec, clientW, clientH);
}

void WindowClose() {
    auto& c = core();
    toolkit::unloadAllDialogs();
    if (c.window) {
        c.window->closeForGood();
        c.window.reset();
    }
    toolkit::finishPainting();
    c.updatePending = false;
    c.image = QImage();
    c.windowOpen = false;
    c.menu.clear();
    c.queue.clear();
    c.pointerGrab = Qt::NoButton;
    toolkit::resetEventTable();
}

void toolkit::deliverPointer(int kind, int px, int py, int button) {
    auto& c = core();
    if (!c.window) {
        if (kind == EventType::MouseMove) button = -1;
        postEvent(kind, pointerEvent(button, 0, QPointF(px, py)));
        return;
    }
    Canvas* canvas = c.window->canvas();
    const QPointF local(px + 0.5, py + 0.5);
    const QPointF global = canvas->mapToGlobal(local);
    if (button >= 4 && kind == EventType::MouseButDown) {
        QWheelEvent wheel(local, global, QPoint(), QPoint(0, button == 4 ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(canvas, &wheel);
        return;
    }
    if (button >= 4) return;  // the wheel has no up or move
    static const Qt::MouseButton qtButtons[4] = {Qt::NoButton, Qt::LeftButton, Qt::MiddleButton,
                                                 Qt::RightButton};
    const Qt::MouseButton b = kind == EventType::MouseMove ? Qt::NoButton : qtButtons[button];
    const QEvent::Type t = kind == EventType::MouseButDown ? QEvent::MouseButtonPress
                           : kind == EventType::MouseButUp ? QEvent::MouseButtonRelease
                                                           : QEvent::MouseMove;
    // Like a real pointer, it reaches whatever lies on top there: a dialog
    // shown over the plot takes the click itself. But from a press on the
    // plot to its release the plot has the pointer, as the windowing
    // system's implicit grab gives it: a drag that ends over a dialog still
    // ends on the plot.
    QWidget* target = c.pointerGrab ? canvas : canvas->childAt(QPoint(px, py));
    if (!target) target = canvas;
    if (target == canvas && kind == EventType::MouseButDown) c.pointerGrab |= b;
    if (kind == EventType::MouseButUp) c.pointerGrab &= ~Qt::MouseButtons(b);
    const Qt::MouseButtons held = kind == EventType::MouseButDown ? c.pointerGrab | b : c.pointerGrab;
    const QPointF at =
        target == canvas ? local : QPointF(target->mapFrom(canvas, QPoint(px, py))) + QPointF(0.5, 0.5);
    QMouseEvent ev(t, at, global, b, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &ev);
}

void toolkit::deliverWheel(int px, int py, bool up, int modifiers) {
    auto& c = core();
    if (!c.window) {
        postEvent(EventType::MouseButDown, pointerEvent(up ? 4 : 5, modifiers, QPointF(px, py)));
        return;
    }
    Canvas* canvas = c.window->canvas();
    const QPointF local(px + 0.5, py + 0.5);
    Qt::KeyboardModifiers held;
    if (modifiers & Modifier::Shift) held |= Qt::ShiftModifier;
    if (modifiers & Modifier::Ctrl) held |= Qt::ControlModifier;
    if (modifiers & Modifier::Alt) held |= Qt::AltModifier;
    QWheelEvent wheel(local, canvas->mapToGlobal(local), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                      held, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas, &wheel);
}

void WindowStatusText(std::string_view text) {
    auto& c = core();
    c.statusText = std::string(text);
    if (!c.window) return;
    if (auto* word = c.window->findChild<QLabel*>("dropfix-word"))
        word->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

std::string toolkit::statusText() {
    return core().statusText;
}

int toolkit::clientPixel(int px, int py) {
    finishPainting();
    const QImage* img = backingImage();
    if (!img || px < 0 || py < 0 || px >= core().clientWidth || py >= core().clientHeight) return -1;
    // A pixel of the client, whatever the device pixels under it.
    const double dpr = img->devicePixelRatio();
    const QRgb c = img->pixel(int(px * dpr), int(py * dpr));
    return WRGB(qRed(c), qGreen(c), qBlue(c));
}

QMainWindow* toolkit::mainWindowWidget() {
    return core().window.get();
}

void toolkit::tearDown() {
    unloadAllDialogs();
    auto& c = core();
    finishPainting();
    c.window.reset();
    c.helpViewer.reset();
    dropCachedFonts();
    c.app.reset();
}

int toolkit::clientWidth() {
    return core().clientWidth;
}
int toolkit::clientHeight() {
    return core().clientHeight;
}

void toolkit::clientSizeForScreen(int width, int height, int screenWidth, int screenHeight, int& outWidth,
                                  int& outHeight) {
    std::tie(outWidth, outHeight) = clientSizeFor(width, height, screenWidth, screenHeight);
}

toolkit::CoreState::~CoreState() {
    painter.reset();
    if (!app) return;
    parked.window = window.release();
    parked.help = helpViewer.release();
    parked.app = app.release();
}

// Fontconfig keeps its caches until the process ends and Qt never asks it to
// let them go; in a sanitizer build those caches would read as leaks of every
// program that drew text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
