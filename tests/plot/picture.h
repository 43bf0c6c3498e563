// Test helper: replays the toolkit's drawing trace into what ends up on the
// screen (coloured segments, placed texts, markers), so that tests ask about
// the picture rather than the exact call sequence.
#pragma once
#include <string>
#include <vector>

#include "toolkit/session.h"

struct Segment {
    int colour = 0, width = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Text {
    std::string op;
    int colour = 0, font = 0;
    double x = 0, y = 0, width = 0;
    char placement = 'C';  // 'L', 'C' or 'R'
    std::string text;
};

struct Mark {
    int colour = 0, number = 0;
    double x = 0, y = 0, size = 0;
};

struct Picture {
    std::vector<toolkit::TraceEntry> calls;
    std::vector<Segment> segments;
    std::vector<Text> texts;
    std::vector<Mark> marks;

    std::vector<Segment> segmentsIn(int colour) const {
        std::vector<Segment> out;
        for (const auto& s : segments)
            if (s.colour == colour) out.push_back(s);
        return out;
    }
    const Text* find(const std::string& text) const {
        for (const auto& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
};

// Starts a fresh headless session with the trace on.
inline void startTracing() {
    toolkit::setHeadless(true);
    toolkit::resetSession();
    toolkit::setTrace(true);
}

// Everything drawn since startTracing or the last takePicture, replayed with
// the toolkit's rules for the current point, colour, size and placement.
inline Picture takePicture() {
    Picture pic;
    pic.calls = toolkit::takeTrace();
    int colour = 0, width = 1, font = 0;
    double x = 0, y = 0, size = 1;
    char placement = 'C';
    for (const auto& c : pic.calls) {
        const auto& a = c.args;
        if (c.op == "IGrColourN")
            colour = static_cast<int>(a.at(0));
        else if (c.op == "IGrLineWidth" && a.at(0) > 0)
            width = static_cast<int>(a.at(0));
        else if (c.op == "IGrCharFont")
            font = static_cast<int>(a.at(0));
        else if (c.op == "IGrCharSize")
            size = a.at(0);
        else if (c.op == "IGrCharJustify")
            placement = c.text.empty() ? 'C' : c.text[0];
        else if (c.op == "WGrTextOrientation" && a.at(0) >= 0 && a.at(0) <= 2)
            placement = "LCR"[int(a[0])];
        else if (c.op == "IGrMoveTo")
            x = a.at(0), y = a.at(1);
        else if (c.op == "IGrLineTo") {
            pic.segments.push_back({colour, width, x, y, a.at(0), a.at(1)});
            x = a[0], y = a[1];
        } else if (c.op == "IGrMarker") {
            pic.marks.push_back({colour, static_cast<int>(a.at(2)), a.at(0), a.at(1), size});
        } else if (c.op == "IGrCharOut" || c.op == "WGrTextString") {
            pic.texts.push_back({c.op, colour, font, a.at(0), a.at(1), size, placement, c.text});
            x = a[0], y = a[1];
        } else if (c.op == "WindowOutString") {
            pic.texts.push_back({c.op, 0, 0, a.at(0), a.at(1), 0, 'L', c.text});
        }
    }
    return pic;
}
