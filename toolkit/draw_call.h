// A drawing call kept to be painted later: the operation, its numbers and
// its text or corners. The waiting first picture (first_picture.cpp) and the
// cached background (background.cpp) keep calls; kept_calls.cpp keeps and
// replays them, and the trace names them.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

// One value per drawing operation of toolkit.h that a picture may keep.
// Every switch over it lists each value and has no default, so that the
// compiler (-Wswitch) names each switch a new operation must join.
enum class DrawOp : std::uint8_t {
    IGrUnits,
    IGrColourModel,
    IGrColourN,
    IGrMoveTo,
    IGrLineTo,
    IGrLineWidth,
    IGrLineType,
    IGrMarker,
    IGrPolygonFill,
    IGrCharSet,
    IGrCharSpacing,
    IGrCharFont,
    IGrCharSize,
    IGrCharJustify,
    WGrTextOrientation,
    IGrCharOut,
    WGrTextString,
    IGrClip,
    IGrClipOff,
    WindowClear,
    WindowOutString,
};

// The operation's name as the trace records it: the name of its function.
constexpr std::string_view drawOpName(DrawOp op) {
    switch (op) {
        case DrawOp::IGrUnits: return "IGrUnits";
        case DrawOp::IGrColourModel: return "IGrColourModel";
        case DrawOp::IGrColourN: return "IGrColourN";
        case DrawOp::IGrMoveTo: return "IGrMoveTo";
        case DrawOp::IGrLineTo: return "IGrLineTo";
        case DrawOp::IGrLineWidth: return "IGrLineWidth";
        case DrawOp::IGrLineType: return "IGrLineType";
        case DrawOp::IGrMarker: return "IGrMarker";
        case DrawOp::IGrPolygonFill: return "IGrPolygonFill";
        case DrawOp::IGrCharSet: return "IGrCharSet";
        case DrawOp::IGrCharSpacing: return "IGrCharSpacing";
        case DrawOp::IGrCharFont: return "IGrCharFont";
        case DrawOp::IGrCharSize: return "IGrCharSize";
        case DrawOp::IGrCharJustify: return "IGrCharJustify";
        case DrawOp::WGrTextOrientation: return "WGrTextOrientation";
        case DrawOp::IGrCharOut: return "IGrCharOut";
        case DrawOp::WGrTextString: return "WGrTextString";
        case DrawOp::IGrClip: return "IGrClip";
        case DrawOp::IGrClipOff: return "IGrClipOff";
        case DrawOp::WindowClear: return "WindowClear";
        case DrawOp::WindowOutString: return "WindowOutString";
    }
    return "";
}

// A picture keeps thousands of calls and few have a text or corners, so
// those stand apart, shared by the copies of a call.
struct DrawCall {
    struct Extra {
        std::string text;
        std::vector<float> points;  // a polygon's corners, x and y by turns
        bool operator==(const Extra&) const = default;
    };
    DrawOp op = DrawOp::WindowClear;
    std::array<double, 4> args{};
    std::uint32_t nargs = 0;
    std::shared_ptr<const Extra> extra;

    std::string_view text() const { return extra ? std::string_view(extra->text) : std::string_view(); }
    const std::vector<float>& points() const {
        static const std::vector<float> none;
        return extra ? extra->points : none;
    }
    bool operator==(const DrawCall& o) const {
        return op == o.op && args == o.args && nargs == o.nargs && text() == o.text() &&
               points() == o.points();
    }
};

}  // namespace toolkit
