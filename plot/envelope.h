// What the plot draws besides the drops: the cruise envelope, a shaded band
// beneath the traces that shows where the drops accepted so far lie, and the
// marks of the pre-screen's suggestions above them.
#pragma once
#include <span>
#include <string>
#include <vector>

#include "plot/plot_settings.h"

// One 2 m bin of the envelope: depths in positive metres, the band
// mean - 2 sd .. mean + 2 sd in degrees.
struct EnvelopeBin {
    float top = 0, bottom = 0;
    float tlo = 0, thi = 0;
    bool operator==(const EnvelopeBin&) const = default;
};

inline constexpr float envelopebin = 2.0f;  // metres
inline constexpr int envelopebins = 1000;   // 0..2000 m
// A bin needs this many drops before its spread means anything.
inline constexpr int envelopemindrops = 3;

// Sums of the drops added so far, bin by bin. Each drop counts once in a
// bin, with the mean of its points there, so a finely sampled drop weighs
// no more than a two-metre one.
class EnvelopeSum {
public:
    // Depths as stored (negative metres) and temperatures, point for point.
    void add(std::span<const float> depth, std::span<const float> t);
    std::vector<EnvelopeBin> bins() const;
    int drops() const { return drops_; }

private:
    struct Sum {
        int n = 0;
        double s = 0, ss = 0;
    };
    std::vector<Sum> sums_ = std::vector<Sum>(envelopebins);
    int drops_ = 0;
};

inline constexpr int envelopecolour = WRGB(214, 226, 240);
inline constexpr int markcolour = WRGB(120, 0, 230);

// The band, one filled polygon for each run of consecutive bins, in the
// plot's user units and inside its clip band.
void drawenvelope(std::span<const EnvelopeBin> bins);

// A suggestion on the plot: a diamond at the point and its tag beside it.
struct PlotMark {
    float t = 0;
    float depth = 0;  // as stored: negative metres
    std::string tag;  // "SPR"
};
// Where a mark goes: at its point, or, when its temperature is off the
// scale, at the frame's edge on that side (side 1 right, -1 left, 0 within
// the scale) with the temperature after its tag.
struct PlacedMark {
    float t = 0, depth = 0;
    float tagx = 0;
    char placement = 'R';  // the tag's alignment at tagx: 'R' or 'L'
    std::string tag;
    int side = 0;
};
PlacedMark placemark(const PlotSettings& s, const PlotMark& m);

inline constexpr float tagcharheight = 0.5f;

// The marks with their tags, a tag that would print over an earlier one
// moved up until it reads on its own.
void drawmarks(const PlotSettings& s, std::span<const PlotMark> marks);
