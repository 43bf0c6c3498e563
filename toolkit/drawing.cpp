// Drawing in user units into the main window's backing image: units and
// conversions, colours, lines, markers and text. Every call is also traced
// (session.h), so that what was drawn is testable without pixels.
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "toolkit/core.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {

DrawState& ds() {
    return core().draw;
}

double clientW() {
    return core().clientWidth;
}
double clientH() {
    return core().clientHeight;
}

// The palette of the palette colour model: the sixteen usual colours, then greys.
unsigned paletteColour(int n) {
    static constexpr unsigned first16[16] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff, 0x00ffff, 0xff00ff,
                                             0xffff00, 0xffffff, 0x800000, 0x008000, 0x000080, 0x008080,
                                             0x800080, 0x808000, 0xc0c0c0, 0x808080};
    if (n < 16) return first16[n];
    const unsigned g = unsigned(n);
    return (g << 16) | (g << 8) | g;
}

QColor currentColour() {
    return QColor::fromRgb(QRgb(0xff000000u | ds().colourRgb));
}

QPen buildPen() {
    QPen pen(currentColour());
    pen.setWidth(std::max(1, ds().lineWidth));
    pen.setCapStyle(Qt::FlatCap);
    switch (ds().lineType) {
        case 1: pen.setStyle(Qt::DashLine); break;
        case 2: pen.setStyle(Qt::DotLine); break;
        case 3: pen.setStyle(Qt::DashDotLine); break;
        case 4: pen.setStyle(Qt::DashDotDotLine); break;
        case 5: pen.setDashPattern({8, 4}); break;
        case 6: pen.setDashPattern({2, 6}); break;
        case 7: pen.setDashPattern({12, 3, 3, 3}); break;
        default: pen.setStyle(Qt::SolidLine); break;
    }
    return pen;
}

// A plot draws thousands of segments in a few colours, one after another.
const QPen& currentPen() {
    auto& cached = core().linePen;
    const DrawState& d = ds();
    if (cached.colourRgb != d.colourRgb || cached.lineWidth != d.lineWidth || cached.lineType != d.lineType) {
        cached.pen = buildPen();
        cached.colourRgb = d.colourRgb;
        cached.lineWidth = d.lineWidth;
        cached.lineType = d.lineType;
    }
    return cached.pen;
}

// The font of the user-unit text: the built-in set is drawn with a clean sans
// face; the family and style follow the font number.
QFont buildUserFont() {
    static const char* families[3] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Condensed"};
    const int n = std::clamp(ds().font, 1, 12);
    QFont f(ds().proportional ? families[(n - 1) / 4] : "DejaVu Sans Mono");
    const int style = (n - 1) % 4;
    f.setItalic(style == 1 || style == 3);
    f.setBold(style >= 2);
    // The character size is the cell of the built-in set; its letters are
    // smaller than the cell, and the editor's layouts (the legend rows, the
    // captions beside each other) are spaced for those proportions.
    constexpr double emPerCellHeight = 0.8, digitPerCellWidth = 0.7;
    const double heightPx = std::max(1.0, emPerCellHeight * ds().charH * clientH());
    f.setPixelSize(std::max(1, int(std::lround(heightPx))));
    // Stretch so that a digit is as wide as the character width asks.
    const double digit = QFontMetricsF(f).horizontalAdvance(QLatin1Char('0'));
    const double wantPx = digitPerCellWidth * ds().charW * clientW();
    if (digit > 0) f.setStretch(std::clamp(int(std::lround(100.0 * wantPx / digit)), 50, 200));
    return f;
}

// The plot writes its labels and codes in a handful of sizes, so a few
// fonts cover a whole redraw.
const CachedFont& userFont() {
    const DrawState& d = ds();
    const FontKey key{d.font, d.proportional, d.charW, d.charH, core().clientWidth, core().clientHeight};
    auto& fonts = core().userFonts;
    for (const auto& f : fonts)
        if (f.key == key) return f;
    constexpr std::size_t kept = 8;
    if (fonts.size() >= kept) fonts.erase(fonts.begin());
    return fonts.emplace_back(key, buildUserFont());
}

const StatusFont& statusFont() {
    auto& f = core().statusFont;
    if (!f) f.emplace(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return *f;
}

bool outsideClip(float y) {
    return ds().clip && (y < ds().clipY1 || y > ds().clipY2);
}

// The part of the segment from (x1, y1) to (x2, y2) inside the clip band;
// false when none of it is.
bool clipSegment(float& x1, float& y1, float& x2, float& y2) {
    if (!ds().clip) return true;
    const float lo = ds().clipY1, hi = ds().clipY2;
    if ((y1 < lo && y2 < lo) || (y1 > hi && y2 > hi)) return false;
    const auto cutAt = [&](float& xa, float& ya, float xb, float yb, float edge) {
        xa = xa + (xb - xa) * (edge - ya) / (yb - ya);
        ya = edge;
    };
    if (y1 < lo) cutAt(x1, y1, x2, y2, lo);
    if (y1 > hi) cutAt(x1, y1, x2, y2, hi);
    if (y2 < lo) cutAt(x2, y2, x1, y1, lo);
    if (y2 > hi) cutAt(x2, y2, x1, y1, hi);
    return true;
}

void drawUserText(float x, float y, std::string_view text, bool clipped) {
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    double widthPx = 0;
    const CachedFont* font = nullptr;
    if (!noWindowSystem()) {
        font = &userFont();
        widthPx = font->widths.of(font->metrics, s);
    }
    double left = userToPixelX(x);
    if (ds().placement == 1) left -= widthPx / 2;
    if (ds().placement == 2) left -= widthPx;
    const double base = userToPixelY(y);
    // The letters stay within the font's height above the baseline (accents
    // too) and its descent below; a letter's overhang (italics) within that
    // height on either side.
    const double up = font ? font->metrics.height() + 2 : clientH();
    const double down = font ? font->metrics.descent() + 2 : clientH();
    const QRectF area(QPointF(left - up, base - up), QPointF(left + widthPx + up, base + down));
    if (QPainter* p =
            clipped && outsideClip(y) ? nullptr : imagePainterOver(area, QPainter::TextAntialiasing)) {
        p->setFont(font ? font->qfont : QFont());
        p->setPen(currentColour());
        p->drawText(QPointF(left, base), s);
        imageChanged();
    }
    // The current point follows the text, to its end.
    const double dx = ds().x2 - ds().x1;
    ds().curX = float(ds().x1 + (left + widthPx) / clientW() * dx);
    ds().curY = y;
}

// A segment in user units, cut to the clip band. A plain line (one pixel
// wide, solid) goes straight into the pixels; any other is queued for the
// painter.
void drawSegment(float xa, float ya, float xb, float yb) {
    CoreState& c = core();
    const DrawState& d = c.draw;
    if (d.clip && !clipSegment(xa, ya, xb, yb)) return;
    const double pxa = userToPixelX(xa), pya = userToPixelY(ya), pxb = userToPixelX(xb),
                 pyb = userToPixelY(yb);
    if (d.lineWidth == 1 && d.lineType == 0)
        if (const PixelTarget* pixels = linePixels()) {
            damagePixels(rasterSegment(*pixels, pxa, pya, pxb, pyb, 0xff000000u | d.colourRgb));
            if (!c.updatePending) imageChanged();
            return;
        }
    if (backingImage()) queueLine(QPointF(pxa, pya), QPointF(pxb, pyb), currentPen());
}

}  // namespace

void pixelToUser(int px, int pyFromTop, float& x, float& y) {
    x = float(ds().x1 + (px + 0.5) / clientW() * (ds().x2 - ds().x1));
    y = float(ds().y2 - (pyFromTop + 0.5) / clientH() * (ds().y2 - ds().y1));
}

void resetDrawState() {
    core().draw = DrawState{};
}

}  // namespace toolkit

using toolkit::core;

namespace {
toolkit::DrawState& ds() {
    return core().draw;
}

// Most drawing calls are neither traced nor kept; they should not pay for
// the call that would trace or keep them.
[[gnu::always_inline]] inline void traceCall(const char* op, std::initializer_list<double> args,
                                             std::string_view text = {}) {
    const toolkit::CoreState& c = core();
    if (c.background.gathering || c.background.replaying || c.deferred.on || toolkit::session().tracing)
        toolkit::traceCall(op, args, text);
}
}  // namespace

void IGrUnits(float x1, float y1, float x2, float y2) {
    traceCall("IGrUnits", {x1, y1, x2, y2});
    auto& d = ds();
    bool bad = false;
    if (x1 < x2) {
        d.x1 = x1;
        d.x2 = x2;
    } else {
        d.x1 = 0;
        d.x2 = 1;
        bad = true;
    }
    d.clip = false;
    if (y1 < y2) {
        d.y1 = y1;
        d.y2 = y2;
    } else {
        d.y1 = 0;
        d.y2 = 1;
        bad = true;
    }
    if (bad) toolkit::session().lastError = ToolkitError::BadUnits;
}

void IGrColourModel(int model) {
    traceCall("IGrColourModel", {double(model)});
    ds().colourModel = model;
}

void IGrColourN(int colour) {
    traceCall("IGrColourN", {double(colour)});
    auto& d = ds();
    if (d.colourModel == 24) {
        // Packed as red in the low byte, so the bytes swap for 0xRRGGBB.
        const unsigned c = unsigned(colour) & 0xffffffu;
        d.colourRgb = ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
    } else if (colour >= 0 && colour <= 255) {
        d.colourRgb = toolkit::paletteColour(colour);
    } else {
        toolkit::session().lastError = ToolkitError::BadColour;
    }
}

void IGrMoveTo(float x, float y) {
    traceCall("IGrMoveTo", {x, y});
    ds().curX = x;
    ds().curY = y;
}

void IGrLineTo(float x, float y) {
    traceCall("IGrLineTo", {x, y});
    auto& d = ds();
    const float xa = d.curX, ya = d.curY;
    d.curX = x;
    d.curY = y;
    toolkit::drawSegment(xa, ya, x, y);
}

void IGrLineWidth(int width) {
    traceCall("IGrLineWidth", {double(width)});
    if (width > 0) ds().lineWidth = width;
}

void IGrLineType(int type) {
    traceCall("IGrLineType", {double(type)});
    ds().lineType = type >= 0 && type <= 7 ? type : 0;
}

void IGrMarker(float x, float y, int number) {
    traceCall("IGrMarker", {x, y, double(number)});
    const double r = std::max(1.0, 0.375 * ds().charW * core().clientWidth);
    const QPointF c(toolkit::userToPixelX(x), toolkit::userToPixelY(y));
    // Every marker stays within its diamond and the diamond's pen.
    const double reach = 1.6 * r + 2;
    const QRectF area(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach);
    QPainter* p = toolkit::outsideClip(y) ? nullptr : toolkit::imagePainterOver(area, QPainter::Antialiasing);
    if (!p) return;
    if (number == 14) {
        // The only marker the editor uses: a dot that stays visible however small.
        p->setPen(Qt::NoPen);
        p->setBrush(toolkit::currentColour());
        p->drawEllipse(c, r, r);
        p->setBrush(Qt::NoBrush);
    } else if (number == 6) {
        // A hollow diamond, larger than the dot of a code, that marks a
        // suggestion without hiding the trace beneath it.
        QPen pen(toolkit::currentColour());
        pen.setWidthF(2.0);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        const double d = 1.6 * r;
        p->drawPolygon(
            QPolygonF({c + QPointF(0, -d), c + QPointF(d, 0), c + QPointF(0, d), c + QPointF(-d, 0)}));
    } else {
        // Every other number draws marker 1, a plus sign.
        QPen pen(toolkit::currentColour());
        pen.setWidthF(1.0);
        p->setPen(pen);
        p->drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
        p->drawLine(c - QPointF(0, r), c + QPointF(0, r));
    }
    toolkit::imageChanged();
}

void IGrPolygonFill(std::span<const float> x, std::span<const float> y) {
    const std::size_t n = std::min(x.size(), y.size());
    toolkit::traceCall("IGrPolygonFill", x, y);
    if (n < 3 || !toolkit::backingImage()) return;
    QPolygonF poly;
    poly.reserve(qsizetype(n));
    for (std::size_t i = 0; i < n; ++i)
        poly << QPointF(toolkit::userToPixelX(x[i]), toolkit::userToPixelY(y[i]));
    QPainter* p = toolkit::imagePainterOver(poly.boundingRect());
    if (!p) return;
    p->save();
    if (ds().clip) {
        const double top = toolkit::userToPixelY(ds().clipY2), bottom = toolkit::userToPixelY(ds().clipY1);
        p->setClipRect(QRectF(0, top, core().clientWidth, bottom - top));
    }
    p->setPen(Qt::NoPen);
    p->setBrush(toolkit::currentColour());
    p->drawPolygon(poly);
    p->restore();
    toolkit::imageChanged();
}

void IGrCharSet(std::string_view name) {
    traceCall("IGrCharSet", {}, name);
    // Character-set files are never used; every name draws with the built-in set.
    ds().builtInSet = true;
}

void IGrCharSpacing(std::string_view mode) {
    traceCall("IGrCharSpacing", {}, mode);
    ds().proportional = mode.empty() || mode[0] == 'P' || mode[0] == 'p';
}

void IGrCharFont(int number) {
    traceCall("IGrCharFont", {double(number)});
    if (number >= 1 && number <= 12) ds().font = number;
}

void IGrCharSize(float width, float height) {
    traceCall("IGrCharSize", {width, height});
    ds().charW = (width > 0 ? width : 1.0f) / 75;
    ds().charH = (height > 0 ? height : 1.0f) / 25;
}

void IGrCharJustify(std::string_view placement) {
    traceCall("IGrCharJustify", {}, placement);
    const char c = placement.empty() ? ' ' : placement[0];
    ds().placement = (c == 'L' || c == 'l') ? 0 : (c == 'R' || c == 'r') ? 2 : 1;
}

void WGrTextOrientation(int placement) {
    traceCall("WGrTextOrientation", {double(placement)});
    if (placement >= 0 && placement <= 2) ds().placement = placement;
}

void IGrCharOut(float x, float y, std::string_view text) {
    traceCall("IGrCharOut", {x, y}, text);
    toolkit::drawUserText(x, y, text, true);
}

void WGrTextString(float x, float y, std::string_view text) {
    // Placed from window units (the legend): never inside a clipped plot.
    traceCall("WGrTextString", {x, y}, text);
    toolkit::drawUserText(x, y, text, false);
}

void IGrClip(float y1, float y2) {
    traceCall("IGrClip", {y1, y2});
    ds().clip = true;
    ds().clipY1 = std::min(y1, y2);
    ds().clipY2 = std::max(y1, y2);
}

void IGrClipOff() {
    traceCall("IGrClipOff", {});
    ds().clip = false;
}

void WindowClear() {
    traceCall("WindowClear", {});
    ds().clip = false;
    if (QImage* img = toolkit::backingImage()) {
        toolkit::finishPainting();
        img->fill(Qt::white);
        toolkit::damageAll();
        toolkit::imageChanged();
    }
}

void WindowOutString(int x, int y, std::string_view text) {
    traceCall("WindowOutString", {double(x), double(y)}, text);
    if (!toolkit::backingImage()) return;
    int px = 0, py = 0;
    WindowUnitsToPixels(x, y, px, py);
    // A fixed-pitch face, so that a text of the same length always covers
    // an older one completely, whatever its letters.
    const toolkit::StatusFont& font = toolkit::statusFont();
    const QFontMetrics& fm = font.metrics;
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    const QRect box(px, py - fm.ascent(), font.widths.of(fm, s), fm.ascent() + fm.descent());
    const int reach = fm.height();
    QPainter* p = toolkit::imagePainterOver(QRectF(box.adjusted(-reach, -2, reach, 2)));
    if (!p) return;
    // Opaque, so that a text replaces an older one of the same length beneath it.
    p->fillRect(box, Qt::white);
    p->setFont(font.font);
    p->setPen(Qt::black);
    p->drawText(QPoint(px, py), s);
    toolkit::imageChanged();
}

void WindowUnitsToPixels(int x, int y, int& px, int& py) {
    px = (core().clientWidth - 1) * x / 9999;
    py = (core().clientHeight - 1) * y / 9999;
}

void IGrUnitsFromPixels(int px, int py, float& x, float& y, int flip) {
    const auto& d = ds();
    x = float(d.x1 + (px + 0.5) / core().clientWidth * (d.x2 - d.x1));
    const double frac = (py + 0.5) / core().clientHeight;
    y = float(flip == 0 ? d.y1 + frac * (d.y2 - d.y1) : d.y2 - frac * (d.y2 - d.y1));
}

namespace toolkit {

namespace {

// Keeps a call, made by `make` only when a picture waits or a background
// is gathered, in each of them.
template <class Make>
bool keepCall(const char* op, Make make) {
    BackgroundCache& b = core().background;
    if (b.replaying) return false;
    DeferredPicture& d = core().deferred;
    if (!d.on && !b.gathering) return true;
    const DrawCall call = make();
    if (d.on) {
        // A cleared window hides every picture before it.
        if (std::string_view(op) == "WindowClear") {
            const bool afterBegin = d.backgroundBegin == d.calls.size();
            d.calls.clear();
            d.start = core().draw;
            d.background = false;
            d.backgroundBegin = afterBegin ? 0 : std::size_t(-1);
        }
        d.calls.push_back(call);
        imageChanged();
    }
    if (b.gathering) b.calls.push_back(call);
    return true;
}

}  // namespace

bool gatherDrawCall(const char* op, std::initializer_list<double> args, std::string_view text) {
    return keepCall(op, [&] {
        DrawCall call;
        call.op = op;
        call.nargs = std::uint32_t(std::min(args.size(), call.args.size()));
        std::copy_n(args.begin(), call.nargs, call.args.begin());
        if (!text.empty())
            call.extra = std::make_shared<const DrawCall::Extra>(DrawCall::Extra{std::string(text), {}});
        return call;
    });
}

bool gatherDrawCall(const char* op, std::span<const float> x, std::span<const float> y) {
    return keepCall(op, [&] {
        DrawCall call;
        call.op = op;
        DrawCall::Extra extra;
        for (std::size_t i = 0; i < x.size() && i < y.size(); ++i)
            extra.points.insert(extra.points.end(), {x[i], y[i]});
        call.extra = std::make_shared<const DrawCall::Extra>(std::move(extra));
        return call;
    });
}

namespace {

// Draws a gathered call again through the operation that made it.
void replay(const DrawCall& c) {
    const auto f = [&](std::size_t i) { return float(c.args[i]); };
    const auto n = [&](std::size_t i) { return int(c.args[i]); };
    const std::string_view op = c.op;
    if (op == "IGrUnits")
        IGrUnits(f(0), f(1), f(2), f(3));
    else if (op == "IGrColourModel")
        IGrColourModel(n(0));
    else if (op == "IGrColourN")
        IGrColourN(n(0));
    else if (op == "IGrMoveTo")
        IGrMoveTo(f(0), f(1));
    else if (op == "IGrLineTo")
        IGrLineTo(f(0), f(1));
    else if (op == "IGrLineWidth")
        IGrLineWidth(n(0));
    else if (op == "IGrLineType")
        IGrLineType(n(0));
    else if (op == "IGrMarker")
        IGrMarker(f(0), f(1), n(2));
    else if (op == "IGrCharSet")
        IGrCharSet(c.text());
    else if (op == "IGrCharSpacing")
        IGrCharSpacing(c.text());
    else if (op == "IGrCharFont")
        IGrCharFont(n(0));
    else if (op == "IGrCharSize")
        IGrCharSize(f(0), f(1));
    else if (op == "IGrCharJustify")
        IGrCharJustify(c.text());
    else if (op == "WGrTextOrientation")
        WGrTextOrientation(n(0));
    else if (op == "IGrCharOut")
        IGrCharOut(f(0), f(1), c.text());
    else if (op == "WGrTextString")
        WGrTextString(f(0), f(1), c.text());
    else if (op == "IGrClip")
        IGrClip(f(0), f(1));
    else if (op == "IGrClipOff")
        IGrClipOff();
    else if (op == "WindowClear")
        WindowClear();
    else if (op == "WindowOutString")
        WindowOutString(n(0), n(1), c.text());
    else if (op == "IGrPolygonFill") {
        std::vector<float> x, y;
        const std::vector<float>& points = c.points();
        for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
            x.push_back(points[i]);
            y.push_back(points[i + 1]);
        }
        IGrPolygonFill(x, y);
    }
}

// The part of the draw state at the start of the calls that their pixels
// depend on: each setting that some call reads before any call sets it. The
// rest, such as where the last picture's trace ended or which colour it
// used, is left at its default, so that it does not spoil the match of one
// background with the next.
DrawState settingsRead(const DrawState& start, const std::vector<DrawCall>& calls) {
    enum Setting {
        Units,
        ColourModel,
        Colour,
        Width,
        Type,
        Current,
        Font,
        Spacing,
        Size,
        Placement,
        Set,
        Count
    };
    std::array<bool, Count> set{}, read{};
    const auto reads = [&](std::initializer_list<Setting> which) {
        for (Setting w : which)
            if (!set[w]) read[w] = true;
    };
    int model = start.colourModel;
    for (const DrawCall& c : calls) {
        const std::string_view op = c.op;
        const int n = c.nargs > 0 ? int(c.args[0]) : 0;
        if (op == "IGrLineTo") reads({Units, Colour, Width, Type, Current});
        if (op == "IGrMarker") reads({Units, Colour, Size});
        if (op == "IGrPolygonFill") reads({Units, Colour});
        if (op == "IGrCharOut" || op == "WGrTextString")
            reads({Units, Colour, Font, Spacing, Size, Placement, Set});
        if (op == "IGrColourN") reads({ColourModel});
        if (op == "IGrUnits") set[Units] = true;
        if (op == "IGrColourModel") set[ColourModel] = true, model = n;
        if (op == "IGrColourN" && (model == 24 || (n >= 0 && n <= 255))) set[Colour] = true;
        if (op == "IGrLineWidth" && n > 0) set[Width] = true;
        if (op == "IGrLineType") set[Type] = true;
        if (op == "IGrMoveTo" || op == "IGrLineTo" || op == "IGrCharOut" || op == "WGrTextString")
            set[Current] = true;
        if (op == "IGrCharFont" && n >= 1 && n <= 12) set[Font] = true;
        if (op == "IGrCharSpacing") set[Spacing] = true;
        if (op == "IGrCharSize") set[Size] = true;
        if (op == "IGrCharJustify" || (op == "WGrTextOrientation" && n >= 0 && n <= 2)) set[Placement] = true;
        if (op == "IGrCharSet") set[Set] = true;
    }
    DrawState d;
    if (read[Units]) d.x1 = start.x1, d.y1 = start.y1, d.x2 = start.x2, d.y2 = start.y2;
    if (read[ColourModel]) d.colourModel = start.colourModel;
    if (read[Colour]) d.colourRgb = start.colourRgb;
    if (read[Width]) d.lineWidth = start.lineWidth;
    if (read[Type]) d.lineType = start.lineType;
    if (read[Current]) d.curX = start.curX, d.curY = start.curY;
    if (read[Font]) d.font = start.font;
    if (read[Spacing]) d.proportional = start.proportional;
    if (read[Size]) d.charW = start.charW, d.charH = start.charH;
    if (read[Placement]) d.placement = start.placement;
    if (read[Set]) d.builtInSet = start.builtInSet;
    // The clip band: the calls begin with WindowClear, which ends it.
    if (calls.empty() || std::string_view(calls.front().op) != "WindowClear")
        d.clip = start.clip, d.clipY1 = start.clipY1, d.clipY2 = start.clipY2;
    return d;
}

}  // namespace
}  // namespace toolkit

namespace toolkit {
namespace {

// Paints calls again. A call refused when it was made (bad units, a colour
// out of range) already told the editor; painting it later must not tell it
// a second time, long after it looked.
void replayCalls(const std::vector<DrawCall>& calls, std::size_t first, std::size_t last) {
    BackgroundCache& b = core().background;
    const int lastError = session().lastError;
    b.replaying = true;
    for (std::size_t k = first; k < last; ++k) replay(calls[k]);
    b.replaying = false;
    session().lastError = lastError;
}

// A row's hash from every eighth word of it: enough to tell the rows of a
// background apart, at an eighth of the cost; equal hashes are confirmed
// byte for byte.
std::size_t rowHash(const uchar* line, std::size_t bpl) {
    std::uint64_t h = 1469598103934665603u;
    for (std::size_t at = 0; at + 8 <= bpl; at += 64) {
        std::uint64_t word = 0;
        std::memcpy(&word, line + at, 8);
        h = (h ^ word) * 1099511628211u;
    }
    return std::size_t(h);
}

// Keeps the pixels of a background just painted (see BackgroundCache).
void keepRows(BackgroundCache& b, const QImage& img) {
    const auto bpl = std::size_t(img.bytesPerLine());
    b.size = img.size();
    b.bytesPerLine = img.bytesPerLine();
    b.dpr = img.devicePixelRatio();
    b.rowOf.assign(std::size_t(img.height()), 0);
    std::vector<const uchar*> lines;  // the first image row of each distinct row
    std::vector<std::size_t> uses;
    std::unordered_multimap<std::size_t, std::uint32_t> kept;  // a row's hash and its number
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        const std::size_t hash = rowHash(line, bpl);
        const auto [first, last] = kept.equal_range(hash);
        const auto same = std::find_if(
            first, last, [&](const auto& k) { return std::memcmp(lines[k.second], line, bpl) == 0; });
        const auto row = same != last ? same->second : std::uint32_t(lines.size());
        if (same == last) {
            kept.emplace(hash, row);
            lines.push_back(line);
            uses.push_back(0);
        }
        b.rowOf[std::size_t(y)] = row;
        ++uses[row];
    }
    const std::size_t common = std::size_t(std::max_element(uses.begin(), uses.end()) - uses.begin());
    b.base.assign(lines.empty() ? nullptr : lines[common], lines.empty() ? nullptr : lines[common] + bpl);
    b.distinct.assign(lines.size(), {});
    const auto pixel = [](const uchar* line, int x) {
        std::uint32_t v;
        std::memcpy(&v, line + std::size_t(x) * 4, 4);
        return v;
    };
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        int first = 0, last = img.width() - 1;
        while (first <= last && pixel(lines[k], first) == pixel(b.base.data(), first)) ++first;
        while (last >= first && pixel(lines[k], last) == pixel(b.base.data(), last)) --last;
        b.distinct[k] = {bytes, first, last};
        if (first <= last) bytes += (std::size_t(last) + 1 - std::size_t(first)) * 4;
    }
    // Made at its size at once: grown, it would for a moment take twice that.
    b.stretches = std::vector<uchar>(bytes);
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (const BackgroundCache::Row& r = b.distinct[k]; r.first <= r.last)
            std::memcpy(b.stretches.data() + r.at, lines[k] + std::size_t(r.first) * 4,
                        (std::size_t(r.last) + 1 - std::size_t(r.first)) * 4);
}

// Columns first..last of a kept row into line.
void restoreRow(const BackgroundCache& b, std::size_t y, uchar* line, int first, int last) {
    const auto bytes = [](int from, int to) { return (std::size_t(to) + 1 - std::size_t(from)) * 4; };
    std::memcpy(line + std::size_t(first) * 4, b.base.data() + std::size_t(first) * 4, bytes(first, last));
    const BackgroundCache::Row& r = b.distinct[b.rowOf[y]];
    const int from = std::max(first, r.first), to = std::min(last, r.last);
    if (from <= to)
        std::memcpy(line + std::size_t(from) * 4, b.stretches.data() + r.at + std::size_t(from - r.first) * 4,
                    bytes(from, to));
}

// Copies the cached background when the gathered calls made it, and
// otherwise paints them and keeps the result; either way the draw state
// ends as after, where the gathered calls left it.
void paintBackground(QImage& img, const DrawState& after) {
    BackgroundCache& b = core().background;
    finishPainting();
    const DrawState from = settingsRead(b.start, b.calls);
    const auto bpl = std::size_t(img.bytesPerLine());
    if (!b.rowOf.empty() && b.size == img.size() && b.bytesPerLine == img.bytesPerLine() &&
        b.dpr == img.devicePixelRatio() && b.madeFrom == from && b.madeBy == b.calls) {
        // Only what the last picture drew over needs its background back.
        const Damage& d = core().damage;
        const bool all = d.all || d.spans.size() != b.rowOf.size();
        uchar* line = img.bits();
        for (std::size_t y = 0; y < b.rowOf.size(); ++y, line += bpl) {
            if (all)
                restoreRow(b, y, line, 0, img.width() - 1);
            else if (const auto [first, last] = d.spans[y]; first <= last)
                restoreRow(b, y, line, first, last);
        }
        clearDamage();
        imageChanged();
        ds() = after;
        return;
    }
    ds() = b.start;
    replayCalls(b.calls, 0, b.calls.size());
    finishPainting();
    ds() = after;
    clearDamage();
    keepRows(b, img);
    b.madeFrom = from;
    b.madeBy = std::move(b.calls);
    b.calls.clear();
}

}  // namespace

void deferPainting() {
    DeferredPicture& d = core().deferred;
    d = DeferredPicture{};
    d.on = true;
    d.start = core().draw;
    d.backgroundBegin = std::size_t(-1);
}

void paintDeferred() {
    DeferredPicture& d = core().deferred;
    if (!d.on || core().background.replaying) return;
    d.on = false;
    QImage* img = backingImage();
    const std::vector<DrawCall> calls = std::move(d.calls);
    d.calls.clear();
    if (!img) return;
    const DrawState after = ds();
    ds() = d.start;
    const bool background =
        d.background && d.backgroundBegin <= d.backgroundEnd && d.backgroundEnd <= calls.size();
    if (!background) {
        replayCalls(calls, 0, calls.size());
    } else {
        replayCalls(calls, 0, d.backgroundBegin);
        BackgroundCache& b = core().background;
        b.start = d.backgroundStart;
        b.calls.assign(calls.begin() + std::ptrdiff_t(d.backgroundBegin),
                       calls.begin() + std::ptrdiff_t(d.backgroundEnd));
        paintBackground(*img, d.backgroundAfter);
        replayCalls(calls, d.backgroundEnd, calls.size());
    }
    flushLine();
    ds() = after;
}

}  // namespace toolkit

void WindowBackgroundBegin() {
    if (toolkit::DeferredPicture& d = core().deferred; d.on) {
        d.backgroundBegin = d.calls.size();
        d.backgroundStart = ds();
        d.background = false;
        return;
    }
    toolkit::BackgroundCache& b = core().background;
    if (b.gathering || !toolkit::backingImage()) return;
    toolkit::finishPainting();
    b.gathering = true;
    b.start = ds();
    b.calls.clear();
}

void WindowBackgroundEnd() {
    if (toolkit::DeferredPicture& d = core().deferred; d.on) {
        d.backgroundEnd = d.calls.size();
        d.backgroundAfter = ds();
        d.background = d.backgroundBegin != std::size_t(-1);
        return;
    }
    toolkit::BackgroundCache& b = core().background;
    if (!b.gathering) return;
    b.gathering = false;
    if (QImage* img = toolkit::backingImage()) toolkit::paintBackground(*img, ds());
}
