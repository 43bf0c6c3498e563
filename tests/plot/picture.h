// Test helper: replays the toolkit's drawing trace into what ends up on the
// screen (coloured segments, placed texts, markers), so that tests can ask
// about the picture instead of the exact call sequence.
#pragma once
#include <string>
#include <vector>

#include "toolkit/session.h"

struct Segment {
    int colour = 0, width = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Text {
    std::string op;  // IGrCharOut, WGrTextString or WindowOutString
    int colour = 0, font = 0;
    double x = 0, y = 0, width = 0, height = 0;
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

    std::vector<Segment> segmentsIn(int colour) const;
    std::vector<Text> textsIn(int colour) const;
    const Text* find(const std::string& text) const;
    // Index of the first call named op at or after from; -1 when none.
    int indexOf(const std::string& op, std::size_t from = 0) const;
};

Picture replay(std::vector<toolkit::TraceEntry> trace);

// Starts a fresh headless session with the trace on.
void startTracing();
// Everything drawn since startTracing or the last takePicture.
Picture takePicture();
