// The cruise envelope and the marks of the pre-screen.
#include "plot/envelope.h"

#include <cmath>

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

void drawmarks(const PlotSettings& s, std::span<const PlotMark> marks) {
    if (marks.empty()) return;
    const float dx = (s.tmax - s.tmin) * 0.012f;
    IGrColourModel(24);
    IGrColourN(markcolour);
    IGrCharSpacing("P");
    IGrCharFont(3);
    for (const PlotMark& m : marks) {
        IGrCharSize(0.3f, 0.3f);
        IGrMarker(m.t, m.depth, 6);
        // To the left of the point: the codes of the trace go to its right.
        IGrCharSize(0.5f, 0.5f);
        IGrCharJustify("R");
        IGrCharOut(m.t - dx, m.depth, m.tag);
    }
    IGrCharJustify("L");
}
