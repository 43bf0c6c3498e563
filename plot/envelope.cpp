// The cruise envelope and the marks of the pre-screen.
#include "plot/envelope.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/toolkit.h"

void EnvelopeSum::add(std::span<const float> depth, std::span<const float> t) {
    // One mean per bin for this drop first, then that mean into the sums.
    std::vector<Sum> own(envelopebins);
    const std::size_t n = std::min(depth.size(), t.size());
    for (std::size_t i = 0; i < n; ++i) {
        const float d = -depth[i];
        if (!std::isfinite(d) || !std::isfinite(t[i]) || d < 0) continue;
        const auto k = static_cast<long>(d / envelopebin);
        if (k < 0 || k >= envelopebins) continue;
        Sum& s = own[static_cast<std::size_t>(k)];
        ++s.n;
        s.s += t[i];
    }
    bool any = false;
    for (std::size_t k = 0; k < own.size(); ++k) {
        if (own[k].n == 0) continue;
        const double mean = own[k].s / own[k].n;
        ++sums_[k].n;
        sums_[k].s += mean;
        sums_[k].ss += mean * mean;
        any = true;
    }
    drops_ += any;
}

std::vector<EnvelopeBin> EnvelopeSum::bins() const {
    std::vector<EnvelopeBin> out;
    for (std::size_t k = 0; k < sums_.size(); ++k) {
        const Sum& s = sums_[k];
        if (s.n < envelopemindrops) continue;
        const double mean = s.s / s.n;
        const double var = std::max(0.0, (s.ss - s.n * mean * mean) / (s.n - 1));
        const double sd2 = 2.0 * std::sqrt(var);
        const auto top = static_cast<float>(k) * envelopebin;
        out.push_back({top, top + envelopebin, float(mean - sd2), float(mean + sd2)});
    }
    return out;
}

void drawenvelope(std::span<const EnvelopeBin> bins) {
    if (bins.empty()) return;
    IGrColourModel(24);
    IGrColourN(envelopecolour);
    std::vector<float> x, y;
    const auto flush = [&] {
        if (!x.empty()) IGrPolygonFill(x, y);
        x.clear();
        y.clear();
    };
    std::size_t run = 0;
    while (run < bins.size()) {
        std::size_t end = run + 1;
        while (end < bins.size() && bins[end].top == bins[end - 1].bottom) ++end;
        // Down the cold edge, then back up the warm edge: one polygon.
        for (std::size_t k = run; k < end; ++k) {
            x.insert(x.end(), {bins[k].tlo, bins[k].tlo});
            y.insert(y.end(), {-bins[k].top, -bins[k].bottom});
        }
        for (std::size_t k = end; k-- > run;) {
            x.insert(x.end(), {bins[k].thi, bins[k].thi});
            y.insert(y.end(), {-bins[k].bottom, -bins[k].top});
        }
        flush();
        run = end;
    }
}

namespace {

// How far apart two tags' baselines must be for their letters not to touch:
// a tag's letters reach about three quarters of its character height.
float tagline(const PlotSettings& s) {
    const float window = 1.08f * s.view.span();  // the frame and its margins, in metres
    return 0.8f * tagcharheight * window / 25.0f;
}

// A tag's baseline moved up, a line at a time, until it is clear of every
// tag placed before it: findings at one depth (a break and the offset found
// at it) read one above the other. Up, because the water above a point is
// usually warmer, which takes the trace to the right, away from the tags.
float freebaseline(float depth, float line, std::span<const float> placed) {
    // A tag passed over lies a whole line below the new place, with room for
    // rounding, and is never met again: one pass per tag at most.
    const float near = 0.99f * line;
    float y = depth;
    for (std::size_t pass = 0; pass <= placed.size(); ++pass) {
        const auto clash =
            std::find_if(placed.begin(), placed.end(), [&](float p) { return std::fabs(p - y) < near; });
        if (clash == placed.end()) break;
        y = *clash + line;
    }
    return y;
}

// An arrow along the frame's edge, its tip at the edge: the point lies
// beyond it, off the scale.
void edgearrow(const PlotSettings& s, float edge, float depth, float direction) {
    const float dx = (s.tmax - s.tmin) * 0.012f;
    const float hy = 0.006f * 1.08f * s.view.span();
    IGrLineType(0);
    IGrLineWidth(2);
    IGrMoveTo(edge - direction * 2.5f * dx, depth);
    IGrLineTo(edge, depth);
    IGrLineTo(edge - direction * dx, depth + hy);
    IGrMoveTo(edge, depth);
    IGrLineTo(edge - direction * dx, depth - hy);
    IGrLineWidth(s.ilinewidth);
}

}  // namespace

PlacedMark placemark(const PlotSettings& s, const PlotMark& m) {
    const float dx = (s.tmax - s.tmin) * 0.012f;
    PlacedMark p{m.t, m.depth, m.t - dx, 'R', m.tag, 0};
    // Off the scale the point would be drawn outside the frame or not at
    // all: the diamond goes to the edge, with an arrow pointing past it and
    // the temperature beside the tag.
    if (!(m.t >= s.tmin && m.t <= s.tmax) && s.tmin < s.tmax) {
        const bool above = !(m.t < s.tmin);
        char value[32] = "";
        if (std::isfinite(m.t)) std::snprintf(value, sizeof value, " %.1f", static_cast<double>(m.t));
        p.tag = m.tag + value;
        p.t = above ? s.tmax : s.tmin;
        p.side = above ? 1 : -1;
        p.tagx = above ? s.tmax - 3.5f * dx : s.tmin + 3.5f * dx;
        p.placement = above ? 'R' : 'L';
    }
    return p;
}

void drawmarks(const PlotSettings& s, std::span<const PlotMark> marks) {
    if (marks.empty()) return;
    IGrColourModel(24);
    IGrColourN(markcolour);
    IGrCharSpacing("P");
    IGrCharFont(3);
    std::vector<float> baselines;
    for (const PlotMark& m : marks) {
        const PlacedMark p = placemark(s, m);
        IGrCharSize(0.3f, 0.3f);
        IGrMarker(p.t, p.depth, 6);
        if (p.side != 0) edgearrow(s, p.t, p.depth, float(p.side));
        // To the left of the point: the codes of the trace go to its right.
        IGrCharSize(tagcharheight, tagcharheight);
        IGrCharJustify(p.placement == 'R' ? "R" : "L");
        const float y = freebaseline(p.depth, tagline(s), baselines);
        baselines.push_back(y);
        IGrCharOut(p.tagx, y, p.tag);
    }
    IGrCharJustify("L");
}
