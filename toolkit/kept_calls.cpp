// Drawing calls kept to be painted later, and painted again from what was
// kept. A window's waiting first picture and a background being gathered
// keep the calls as they are made; the trace records them under their
// names. Painting kept calls goes back through the operations themselves,
// so a replayed picture is the one the calls would have drawn at once.
#include <algorithm>
#include <array>

#include "toolkit/core.h"
#include "toolkit/session_internal.h"

namespace toolkit {

namespace {

void keep(const DrawCall& call) {
    CoreState& c = core();
    DeferredPicture& d = c.deferred;
    if (d.on) {
        // A cleared window hides every picture before it.
        if (call.op == DrawOp::WindowClear) {
            const bool clearsBackground = d.backgroundBegin == d.calls.size();
            d.calls.clear();
            d.start = c.draw;
            d.background.reset();
            d.backgroundBegin = clearsBackground ? std::optional<std::size_t>(0) : std::nullopt;
        }
        d.calls.push_back(call);
        imageChanged();
    }
    if (c.background.gathering) c.background.calls.push_back(call);
}

bool keeping() {
    const CoreState& c = core();
    return !c.replaying && (c.deferred.on || c.background.gathering);
}

bool tracing() {
    return !core().replaying && session().tracing;
}

}  // namespace

void recordCall(DrawOp op, std::initializer_list<double> args, std::string_view text) {
    if (keeping()) {
        DrawCall call;
        call.op = op;
        call.nargs = std::uint32_t(std::min(args.size(), call.args.size()));
        std::copy_n(args.begin(), call.nargs, call.args.begin());
        if (!text.empty())
            call.extra = std::make_shared<const DrawCall::Extra>(DrawCall::Extra{std::string(text), {}});
        keep(call);
    }
    if (tracing())
        session().trace.push_back(
            TraceEntry{std::string(drawOpName(op)), std::vector<double>(args), std::string(text)});
}

void recordCall(DrawOp op, std::span<const float> x, std::span<const float> y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (keeping()) {
        DrawCall call;
        call.op = op;
        DrawCall::Extra extra;
        for (std::size_t i = 0; i < n; ++i) extra.points.insert(extra.points.end(), {x[i], y[i]});
        call.extra = std::make_shared<const DrawCall::Extra>(std::move(extra));
        keep(call);
    }
    if (tracing()) {
        TraceEntry e{std::string(drawOpName(op)), {}, {}};
        for (std::size_t i = 0; i < n; ++i) e.args.insert(e.args.end(), {x[i], y[i]});
        session().trace.push_back(std::move(e));
    }
}

namespace {

void replay(const DrawCall& c) {
    const auto f = [&](std::size_t i) { return float(c.args[i]); };
    const auto n = [&](std::size_t i) { return int(c.args[i]); };
    switch (c.op) {
        case DrawOp::IGrUnits: IGrUnits(f(0), f(1), f(2), f(3)); return;
        case DrawOp::IGrColourModel: IGrColourModel(n(0)); return;
        case DrawOp::IGrColourN: IGrColourN(n(0)); return;
        case DrawOp::IGrMoveTo: IGrMoveTo(f(0), f(1)); return;
        case DrawOp::IGrLineTo: IGrLineTo(f(0), f(1)); return;
        case DrawOp::IGrLineWidth: IGrLineWidth(n(0)); return;
        case DrawOp::IGrLineType: IGrLineType(n(0)); return;
        case DrawOp::IGrMarker: IGrMarker(f(0), f(1), n(2)); return;
        case DrawOp::IGrPolygonFill: {
            std::vector<float> x, y;
            const std::vector<float>& points = c.points();
            for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
                x.push_back(points[i]);
                y.push_back(points[i + 1]);
            }
            IGrPolygonFill(x, y);
            return;
        }
        case DrawOp::IGrCharSet: IGrCharSet(c.text()); return;
        case DrawOp::IGrCharSpacing: IGrCharSpacing(c.text()); return;
        case DrawOp::IGrCharFont: IGrCharFont(n(0)); return;
        case DrawOp::IGrCharSize: IGrCharSize(f(0), f(1)); return;
        case DrawOp::IGrCharJustify: IGrCharJustify(c.text()); return;
        case DrawOp::WGrTextOrientation: WGrTextOrientation(n(0)); return;
        case DrawOp::IGrCharOut: IGrCharOut(f(0), f(1), c.text()); return;
        case DrawOp::WGrTextString: WGrTextString(f(0), f(1), c.text()); return;
        case DrawOp::IGrClip: IGrClip(f(0), f(1)); return;
        case DrawOp::IGrClipOff: IGrClipOff(); return;
        case DrawOp::WindowClear: WindowClear(); return;
        case DrawOp::WindowOutString: WindowOutString(n(0), n(1), c.text()); return;
    }
}

}  // namespace

// A call refused when it was made (bad units, a colour out of range)
// already told the editor; painting it later must not tell it a second
// time, long after it looked.
void replayCalls(const std::vector<DrawCall>& calls, std::size_t first, std::size_t last) {
    const int lastError = session().lastError;
    core().replaying = true;
    for (std::size_t k = first; k < last; ++k) replay(calls[k]);
    core().replaying = false;
    session().lastError = lastError;
}

// Each setting counts as read when some call reads it before any call
// sets it. The rest, such as where the last picture's trace ended or which
// colour it used, is left at its default, so that it does not spoil the
// match of one background with the next.
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
        const int n = c.nargs > 0 ? int(c.args[0]) : 0;
        switch (c.op) {
            case DrawOp::IGrUnits: set[Units] = true; break;
            case DrawOp::IGrColourModel:
                set[ColourModel] = true;
                model = n;
                break;
            case DrawOp::IGrColourN:
                reads({ColourModel});
                if (model == 24 || (n >= 0 && n <= 255)) set[Colour] = true;
                break;
            case DrawOp::IGrMoveTo: set[Current] = true; break;
            case DrawOp::IGrLineTo:
                reads({Units, Colour, Width, Type, Current});
                set[Current] = true;
                break;
            case DrawOp::IGrLineWidth: set[Width] = set[Width] || n > 0; break;
            case DrawOp::IGrLineType: set[Type] = true; break;
            case DrawOp::IGrMarker: reads({Units, Colour, Size}); break;
            case DrawOp::IGrPolygonFill: reads({Units, Colour}); break;
            case DrawOp::IGrCharSet: set[Set] = true; break;
            case DrawOp::IGrCharSpacing: set[Spacing] = true; break;
            case DrawOp::IGrCharFont: set[Font] = set[Font] || (n >= 1 && n <= 12); break;
            case DrawOp::IGrCharSize: set[Size] = true; break;
            case DrawOp::IGrCharJustify: set[Placement] = true; break;
            case DrawOp::WGrTextOrientation: set[Placement] = set[Placement] || (n >= 0 && n <= 2); break;
            case DrawOp::IGrCharOut:
            case DrawOp::WGrTextString:
                reads({Units, Colour, Font, Spacing, Size, Placement, Set});
                set[Current] = true;
                break;
            // The clip band is taken whole below; the status text draws in
            // its own font and colour.
            case DrawOp::IGrClip:
            case DrawOp::IGrClipOff:
            case DrawOp::WindowClear:
            case DrawOp::WindowOutString: break;
        }
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
    // Calls that begin with WindowClear end any clip band before they draw.
    if (calls.empty() || calls.front().op != DrawOp::WindowClear)
        d.clip = start.clip, d.clipY1 = start.clipY1, d.clipY2 = start.clipY2;
    return d;
}

}  // namespace toolkit
