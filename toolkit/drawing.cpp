// The drawing calls: drawing in user units into the main window's backing
// image (units and conversions, colours, lines, markers and text). Each
// call also reports itself (kept_calls.cpp): a waiting picture or a
// background being gathered keeps it, and the trace (session.h) records it,
// so that what was drawn is testable without pixels.
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>

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
    if (QPainter* p = clipped && outsideClip(y) ? nullptr : imagePainter(QPainter::TextAntialiasing)) {
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
            rasterSegment(*pixels, pxa, pya, pxb, pyb, 0xff000000u | d.colourRgb);
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
using toolkit::DrawOp;

namespace {
toolkit::DrawState& ds() {
    return core().draw;
}

// Most drawing calls are neither traced nor kept; they should not pay for
// the call that would trace or keep them.
inline void record(toolkit::DrawOp op, std::initializer_list<double> args, std::string_view text = {}) {
    const toolkit::CoreState& c = core();
    if ((c.background.gathering || c.deferred.on || toolkit::session().tracing) && !c.replaying)
        toolkit::recordCall(op, args, text);
}
}  // namespace

void IGrUnits(float x1, float y1, float x2, float y2) {
    record(DrawOp::IGrUnits, {x1, y1, x2, y2});
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
    record(DrawOp::IGrColourModel, {double(model)});
    ds().colourModel = model;
}

void IGrColourN(int colour) {
    record(DrawOp::IGrColourN, {double(colour)});
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
    record(DrawOp::IGrMoveTo, {x, y});
    ds().curX = x;
    ds().curY = y;
}

void IGrLineTo(float x, float y) {
    record(DrawOp::IGrLineTo, {x, y});
    auto& d = ds();
    const float xa = d.curX, ya = d.curY;
    d.curX = x;
    d.curY = y;
    toolkit::drawSegment(xa, ya, x, y);
}

void IGrLineWidth(int width) {
    record(DrawOp::IGrLineWidth, {double(width)});
    if (width > 0) ds().lineWidth = width;
}

void IGrLineType(int type) {
    record(DrawOp::IGrLineType, {double(type)});
    ds().lineType = type >= 0 && type <= 7 ? type : 0;
}

void IGrMarker(float x, float y, int number) {
    record(DrawOp::IGrMarker, {x, y, double(number)});
    const double r = std::max(1.0, 0.375 * ds().charW * core().clientWidth);
    const QPointF c(toolkit::userToPixelX(x), toolkit::userToPixelY(y));
    QPainter* p = toolkit::outsideClip(y) ? nullptr : toolkit::imagePainter(QPainter::Antialiasing);
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
    toolkit::recordCall(DrawOp::IGrPolygonFill, x, y);
    if (n < 3 || !toolkit::backingImage()) return;
    QPolygonF poly;
    poly.reserve(qsizetype(n));
    for (std::size_t i = 0; i < n; ++i)
        poly << QPointF(toolkit::userToPixelX(x[i]), toolkit::userToPixelY(y[i]));
    QPainter* p = toolkit::imagePainter();
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
    record(DrawOp::IGrCharSet, {}, name);
    // Character-set files are never used; every name draws with the built-in set.
    ds().builtInSet = true;
}

void IGrCharSpacing(std::string_view mode) {
    record(DrawOp::IGrCharSpacing, {}, mode);
    ds().proportional = mode.empty() || mode[0] == 'P' || mode[0] == 'p';
}

void IGrCharFont(int number) {
    record(DrawOp::IGrCharFont, {double(number)});
    if (number >= 1 && number <= 12) ds().font = number;
}

void IGrCharSize(float width, float height) {
    record(DrawOp::IGrCharSize, {width, height});
    ds().charW = (width > 0 ? width : 1.0f) / 75;
    ds().charH = (height > 0 ? height : 1.0f) / 25;
}

void IGrCharJustify(std::string_view placement) {
    record(DrawOp::IGrCharJustify, {}, placement);
    const char c = placement.empty() ? ' ' : placement[0];
    ds().placement = (c == 'L' || c == 'l') ? 0 : (c == 'R' || c == 'r') ? 2 : 1;
}

void WGrTextOrientation(int placement) {
    record(DrawOp::WGrTextOrientation, {double(placement)});
    if (placement >= 0 && placement <= 2) ds().placement = placement;
}

void IGrCharOut(float x, float y, std::string_view text) {
    record(DrawOp::IGrCharOut, {x, y}, text);
    toolkit::drawUserText(x, y, text, true);
}

void WGrTextString(float x, float y, std::string_view text) {
    // Placed from window units (the legend): never inside a clipped plot.
    record(DrawOp::WGrTextString, {x, y}, text);
    toolkit::drawUserText(x, y, text, false);
}

void IGrClip(float y1, float y2) {
    record(DrawOp::IGrClip, {y1, y2});
    ds().clip = true;
    ds().clipY1 = std::min(y1, y2);
    ds().clipY2 = std::max(y1, y2);
}

void IGrClipOff() {
    record(DrawOp::IGrClipOff, {});
    ds().clip = false;
}

void WindowClear() {
    record(DrawOp::WindowClear, {});
    ds().clip = false;
    if (QImage* img = toolkit::backingImage()) {
        toolkit::finishPainting();
        img->fill(Qt::white);
        toolkit::imageChanged();
    }
}

void WindowOutString(int x, int y, std::string_view text) {
    record(DrawOp::WindowOutString, {double(x), double(y)}, text);
    if (!toolkit::backingImage()) return;
    int px = 0, py = 0;
    WindowUnitsToPixels(x, y, px, py);
    // A fixed-pitch face, so that a text of the same length always covers
    // an older one completely, whatever its letters.
    const toolkit::StatusFont& font = toolkit::statusFont();
    const QFontMetrics& fm = font.metrics;
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    const QRect box(px, py - fm.ascent(), font.widths.of(fm, s), fm.ascent() + fm.descent());
    QPainter* p = toolkit::imagePainter();
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
