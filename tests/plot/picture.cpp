// Replays a drawing trace with the toolkit's drawing state rules.
#include "picture.h"

#include <algorithm>

#include "toolkit/toolkit.h"

namespace {

char placementOf(const std::string& p) {
    if (!p.empty() && (p[0] == 'L' || p[0] == 'l')) return 'L';
    if (!p.empty() && (p[0] == 'R' || p[0] == 'r')) return 'R';
    return 'C';
}

}  // namespace

Picture replay(std::vector<toolkit::TraceEntry> trace) {
    Picture pic;
    int colour = 0, width = 1, font = 0;
    double x = 0, y = 0, cw = 1, ch = 1;
    char placement = 'C';
    for (const auto& c : trace) {
        const auto& a = c.args;
        if (c.op == "IGrColourN")
            colour = static_cast<int>(a.at(0));
        else if (c.op == "IGrLineWidth" && a.at(0) > 0)
            width = static_cast<int>(a.at(0));
        else if (c.op == "IGrCharFont")
            font = static_cast<int>(a.at(0));
        else if (c.op == "IGrCharSize")
            cw = a.at(0), ch = a.at(1);
        else if (c.op == "IGrCharJustify")
            placement = placementOf(c.text);
        else if (c.op == "WGrTextOrientation") {
            const int p = static_cast<int>(a.at(0));
            if (p >= 0 && p <= 2) placement = "LCR"[p];
        } else if (c.op == "IGrMoveTo")
            x = a.at(0), y = a.at(1);
        else if (c.op == "IGrLineTo") {
            pic.segments.push_back({colour, width, x, y, a.at(0), a.at(1)});
            x = a.at(0), y = a.at(1);
        } else if (c.op == "IGrMarker") {
            pic.marks.push_back({colour, static_cast<int>(a.at(2)), a.at(0), a.at(1), cw});
        } else if (c.op == "IGrCharOut" || c.op == "WGrTextString") {
            pic.texts.push_back({c.op, colour, font, a.at(0), a.at(1), cw, ch, placement, c.text});
            x = a.at(0), y = a.at(1);
        } else if (c.op == "WindowOutString") {
            pic.texts.push_back({c.op, 0, 0, a.at(0), a.at(1), 0, 0, 'L', c.text});
        }
    }
    pic.calls = std::move(trace);
    return pic;
}

std::vector<Segment> Picture::segmentsIn(int colour) const {
    std::vector<Segment> out;
    std::copy_if(segments.begin(), segments.end(), std::back_inserter(out),
                 [&](const Segment& s) { return s.colour == colour; });
    return out;
}

std::vector<Text> Picture::textsIn(int colour) const {
    std::vector<Text> out;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(out),
                 [&](const Text& t) { return t.colour == colour; });
    return out;
}

const Text* Picture::find(const std::string& text) const {
    for (const auto& t : texts)
        if (t.text == text) return &t;
    return nullptr;
}

int Picture::indexOf(const std::string& op, std::size_t from) const {
    for (std::size_t i = from; i < calls.size(); ++i)
        if (calls[i].op == op) return static_cast<int>(i);
    return -1;
}

void startTracing() {
    toolkit::setHeadless(true);
    toolkit::resetSession();
    toolkit::setTrace(true);
}

Picture takePicture() {
    return replay(toolkit::takeTrace());
}
