// The toolkit-wide state behind the operations of the main window, the
// drawing primitives and the event queue, shared by window.cpp, the drawing
// files (drawing.cpp, kept_calls.cpp, background.cpp, first_picture.cpp),
// events.cpp, boxes.cpp and script.cpp. Only toolkit/ includes this header.
#pragma once
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/draw_call.h"
#include "toolkit/menu.h"
#include "toolkit/raster.h"
#include "toolkit/toolkit.h"

class QApplication;
class QMainWindow;
class QTextBrowser;
class QWidget;

namespace toolkit {

class MainWindow;

// Settings that every drawing call uses; WindowOpen restores these values.
struct DrawState {
    float x1 = 0, y1 = 0, x2 = 1, y2 = 1;  // user units of the client area
    float curX = 0, curY = 0;
    int colourModel = 0;                         // 24: packed RGB; anything else: palette numbers
    unsigned colourRgb = 0;                      // current colour as 0xRRGGBB, black at first
    int lineWidth = 1;                           // pixels
    int lineType = 0;                            // 0 solid, 1..7 patterns
    bool builtInSet = true;                      // "H"
    bool proportional = true;                    // "P"
    int font = 1;                                // 1..12
    float charW = 1.0f / 75, charH = 1.0f / 30;  // fractions of the client area
    int placement = 1;                           // 0 left, 1 centred, 2 right
    bool clip = false;                           // lines, markers and texts kept within clipY1..clipY2
    float clipY1 = 0, clipY2 = 0;
    bool operator==(const DrawState&) const = default;
};

// The picture's background, between WindowBackgroundBegin and
// WindowBackgroundEnd (background.cpp). Its calls are gathered without
// painting; when they and the draw state they read are those that made the
// kept pixels, those pixels are copied back whole instead of painted.
struct BackgroundCache {
    bool gathering = false;
    DrawState start;  // the draw state when gathering began
    std::vector<DrawCall> calls;
    // The last background painted, and what painted it.
    QImage pixels;
    DrawState madeFrom;
    std::vector<DrawCall> madeBy;
};

// A window just opened is not painted until something reads its image (its
// first paint, a screenshot, a pixel): the editor draws its first picture
// and then draws it again for the window's first exposure, and only the
// last picture needs its pixels (first_picture.cpp). The calls since the
// last WindowClear are kept, with where the background among them begins
// and ends.
struct DeferredPicture {
    bool on = false;
    DrawState start;  // the draw state before the first kept call
    std::vector<DrawCall> calls;
    // Where WindowBackgroundBegin came among the calls, and the draw state then.
    std::optional<std::size_t> backgroundBegin;
    DrawState backgroundStart;
    // Set by WindowBackgroundEnd after a beginning among the same calls.
    struct Background {
        std::size_t begin = 0, end = 0;
        DrawState start, after;
    };
    std::optional<Background> background;
};

// Types 11 to 17 are never produced; 18 is the panel's row. WMessageEnable
// switches only types up to lastSwitchableEventType, as it always has.
constexpr int firstEventType = 1, lastEventType = 18, lastSwitchableEventType = 17;
// Headless runs keep a nominal client area so that conversions still work.
constexpr int nominalClientWidth = 1600, nominalClientHeight = 1000;

// A font with its metrics, built once for a set of text settings: building
// and measuring a font costs more than drawing a short text with it.
struct FontKey {
    int font = 0;
    bool proportional = true;
    float charW = 0, charH = 0;
    int clientWidth = 0, clientHeight = 0;
    bool operator==(const FontKey&) const = default;
};
// Measuring a text shapes it, which costs as much as drawing it; a redraw
// measures the same labels and captions again, so their widths are kept.
template <class Width>
class TextWidths {
public:
    template <class Metrics>
    Width of(const Metrics& metrics, const QString& text) {
        const auto found = widths_.find(text);
        if (found != widths_.end()) return found->second;
        if (widths_.size() >= 512) widths_.clear();
        return widths_.emplace(text, metrics.horizontalAdvance(text)).first->second;
    }

private:
    std::unordered_map<QString, Width> widths_;
};

struct CachedFont {
    CachedFont(const FontKey& k, const QFont& f) : key(k), qfont(f), metrics(f) {}
    FontKey key;
    QFont qfont;
    QFontMetricsF metrics;
    mutable TextWidths<double> widths;
};
struct StatusFont {
    explicit StatusFont(const QFont& f) : font(f), metrics(f) {}
    QFont font;
    QFontMetrics metrics;
    mutable TextWidths<int> widths;
};

// Which event types are reported until the editor changes it.
std::array<bool, lastEventType + 1> defaultEventTable();

struct CoreState {
    CoreState() = default;
    CoreState(const CoreState&) = delete;
    CoreState& operator=(const CoreState&) = delete;
    // Parks a still living application instead of destroying it: at exit Qt's
    // own globals may already be gone, and its destructor would crash.
    ~CoreState();

    // Declared first so that it is destroyed last, after every widget.
    std::unique_ptr<QApplication> app;
    int argc = 1;
    char** argv = nullptr;

    bool initialised = false;
    int screenWidth = nominalClientWidth * 100 / 80, screenHeight = nominalClientHeight * 100 / 80;

    bool windowOpen = false;  // also true for a headless main window
    std::unique_ptr<MainWindow> window;
    std::string statusText;  // the editor's word in the status bar
    std::unique_ptr<QTextBrowser> helpViewer;
    QImage image;  // backing image of the client area; null when headless or closed
    // Kept open on the image across drawing calls (see imagePainter); declared
    // after the image so that it ends before the image goes.
    std::unique_ptr<QPainter> painter;
    QPainter::RenderHints painterDefaultHints;
    // The image's pixels while that painter is open (it keeps them unshared).
    PixelTarget pixels;
    bool updatePending = false;  // the canvas has been asked to repaint
    // The pen of the line settings below, rebuilt only when one of them changes.
    struct {
        unsigned colourRgb = 0;
        int lineWidth = 0, lineType = -1;
        QPen pen;
    } linePen;
    // Consecutive segments of one pen, drawn as one polyline when anything
    // else is drawn or the image is read (see queueLine).
    QPolygonF pendingLine;
    QPen pendingPen;
    std::vector<CachedFont> userFonts;
    std::optional<StatusFont> statusFont;
    int clientWidth = nominalClientWidth, clientHeight = nominalClientHeight;
    std::vector<MenuItem> menu;

    DrawState draw;
    BackgroundCache background;
    DeferredPicture deferred;
    // Kept calls being painted: they were traced and kept when first made.
    bool replaying = false;
    std::array<bool, lastEventType + 1> enabled = defaultEventTable();
    std::deque<std::pair<int, EventRecord>> queue;
    // Buttons of a scripted pointer pressed on the plot and not yet released.
    Qt::MouseButtons pointerGrab;
};

CoreState& coreState();
// Every drawing call asks for the state several times. A plain pointer kept
// after the first call costs a test that the compiler can share between
// calls, where a local static's guard is read anew each time and a call to
// coreState costs a call.
inline CoreState* coreKept = nullptr;
inline CoreState& core() {
    if (!coreKept) [[unlikely]]
        coreKept = &coreState();
    return *coreKept;
}

// The main window as a parent for modal boxes; null when none is open.
QMainWindow* mainWindowWidget();

// Deletes the main window, the help viewer and the application object,
// in that order; for ending the program from inside the toolkit.
void tearDown();

// True when operations must not touch Qt (test mode, or no QApplication).
bool noWindowSystem();

void resetEventTable();
void resetDrawState();

// The backing image when a window is open, otherwise null; drawing calls
// paint into it with imagePainter and then call imageChanged so that the
// window shows it.
QImage* backingImage();
void imageChanged();

// The painter on the backing image, null when there is none. It stays open
// from one drawing call to the next, since beginning a painter costs more
// than drawing a line; its render hints are set to the painter's defaults
// plus the given ones, and every caller sets the pen, brush and font it uses.
QPainter* imagePainter(QPainter::RenderHints hints = {});
// A segment in client pixels with the current line pen. A segment that
// goes on from the end of the last one with the same pen joins it in one
// polyline, which costs far less than a line call per segment; the
// polyline is drawn before any other drawing and before the image is read.
void queueLine(QPointF from, QPointF to, const QPen& pen);
void flushLine();
// The backing image's pixels for rasterSegment, with every queued line drawn
// first; null when there is no image or it is not one pixel per client pixel.
const PixelTarget* openLinePixels();
inline const PixelTarget* linePixels() {
    // The pixels are known only while the painter is open on a backing image
    // that takes drawing (see backingImage); this is the path of every
    // segment of a trace.
    const CoreState& c = core();
    if (c.pixels.bits && c.pendingLine.isEmpty() && !c.background.gathering && !c.deferred.on)
        return &c.pixels;
    return openLinePixels();
}
// Ends that painter. Anything that reads, copies, fills or replaces the
// backing image calls this first, so that it sees every drawing call
// finished and the painter never outlives the image it paints.
void finishPainting();
// Keeps the drawing calls from now on instead of painting them, until
// finishPainting paints the last picture among them (first_picture.cpp).
void deferPainting();
void paintDeferred();

// Kept drawing calls (kept_calls.cpp). Every drawing call reports itself
// here: it is kept for a waiting picture or a background being gathered,
// and recorded in the trace when that is on. Nothing is kept or traced
// while kept calls are painted again.
void recordCall(DrawOp op, std::initializer_list<double> args, std::string_view text = {});
void recordCall(DrawOp op, std::span<const float> x, std::span<const float> y);
// Paints calls[first, last) again through the operations that made them.
void replayCalls(const std::vector<DrawCall>& calls, std::size_t first, std::size_t last);
// The part of the draw state start that calls read before setting it
// themselves; the rest is left at its default (see background.cpp).
DrawState settingsRead(const DrawState& start, const std::vector<DrawCall>& calls);

// An image in the plot's pixel format, not yet filled, for the backing
// image and the kept background (see window.cpp).
QImage imageOfPlotSize(int width, int height, double dpr);

// Paints the gathered background calls into img, or copies the kept pixels
// when they were made by the same calls from the same settings; the draw
// state ends as after (background.cpp).
void paintBackground(QImage& img, const DrawState& after);

// Forgets fonts built for the current application, and the background
// painted with them (before it goes).
void dropCachedFonts();

// Conversions between user units and client pixels (origin top left).
inline double userToPixelX(double x) {
    const CoreState& c = core();
    return (x - c.draw.x1) / (c.draw.x2 - c.draw.x1) * c.clientWidth;
}
inline double userToPixelY(double y) {
    const CoreState& c = core();
    return c.clientHeight - (y - c.draw.y1) / (c.draw.y2 - c.draw.y1) * c.clientHeight;
}
void pixelToUser(int px, int pyFromTop, float& x, float& y);

// The main window's accelerator and KeyDown handling for a key with its Qt
// key code and modifiers; true when the key ran a menu command.
bool handleMainWindowKey(int qtKey, int qtModifiers, const QString& text);

// Pointer input at a client pixel (origin top left): a real mouse or wheel
// event to the client area, or with no window system the event it gives.
// kind is MouseButDown, MouseMove or MouseButUp; button 1..3, or 4 and 5 for the wheel.
void deliverPointer(int kind, int px, int py, int button);
// A turn of the wheel over the plot at a pixel, with the modifier bits held.
void deliverWheel(int px, int py, bool up, int modifiers);

// Where WHelpFile finds a document: the path as given, else its file name in
// the program's own directory.
std::optional<std::string> findHelpDocument(std::string_view document);

// Posts the MenuSelect of a menu item (from the bar, an accelerator or a script).
void postMenuSelect(int id);

// Client size of a WindowRecord: 0 or negative takes 80 % of the screen.
std::pair<int, int> clientSizeFor(int width, int height, int screenWidth, int screenHeight);

// Gives the client area a new size: a new white image and a Resize event.
void clientResized(int width, int height);

// Scripted sessions: true while a script drives the program.
bool scriptActive();
// Runs script lines until one of them leads to a pending event; ends the
// program (status 3) when the script runs out.
void runScriptUntilEvent();
// Forgets the script (tests).
void stopScript();
// Transcript lines of a scripted session.
void transcript(const std::string& line);

}  // namespace toolkit
