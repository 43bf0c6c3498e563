// The pre-screen's checks of the ship's track: where and when each drop was
// made against the drops either side. A position typed with the wrong
// hemisphere, or a time in the wrong day, sends the drop to the wrong ocean
// in every archive that takes it; the profile itself cannot show it.
#include <cmath>

#include "qc/prescreen_points.h"

namespace {

constexpr double earthradiusnm = 3440.065;  // nautical miles
constexpr double pi = 3.14159265358979323846;
// A sign flip is only told from a real crossing of the equator or of 0 or
// 180 degrees when the position is this far from it, degrees.
constexpr double flipaway = 1.0;

double distancenm(const Fix& a, const Fix& b) {
    const double r = pi / 180.0;
    const double dlat = (b.lat - a.lat) * r, dlon = (b.lon - a.lon) * r;
    const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                     std::cos(a.lat * r) * std::cos(b.lat * r) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2.0 * earthradiusnm * std::asin(std::sqrt(std::min(1.0, h)));
}

bool flipped(double mine, double before, double after) {
    return std::fabs(mine) >= flipaway && std::fabs(before) >= flipaway && std::fabs(after) >= flipaway &&
           (mine > 0) != (before > 0) && (mine > 0) != (after > 0) &&
           std::fabs(std::fabs(mine) - std::fabs(before)) < std::fabs(mine - before) &&
           std::fabs(std::fabs(mine) - std::fabs(after)) < std::fabs(mine - after);
}

Finding trackfinding(std::string sentence) {
    return wholedropfinding(QcCode("TK"), 0, std::move(sentence));
}

}  // namespace

using prescreen_detail::format;

std::vector<std::vector<Finding>> trackfindings(std::span<const Fix> fixes) {
    const std::size_t n = fixes.size();
    std::vector<std::vector<Finding>> out(n);
    std::vector<char> flip(n, 0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const Fix &a = fixes[i - 1], &m = fixes[i], &b = fixes[i + 1];
        if (!a.valid || !m.valid || !b.valid) continue;
        const bool lat = flipped(m.lat, a.lat, b.lat), lon = flipped(m.lon, a.lon, b.lon);
        if (!lat && !lon) continue;
        flip[i] = 1;
        out[i].push_back(trackfinding(format(
            "Position: the %s flips sign for this drop alone (%.3f between %.3f and %.3f)",
            lat ? "latitude" : "longitude", lat ? m.lat : m.lon, lat ? a.lat : a.lon, lat ? b.lat : b.lon)));
    }
    for (std::size_t i = 1; i < n; ++i) {
        const Fix &a = fixes[i - 1], &m = fixes[i];
        // A flipped drop already says why the ship would have had to race.
        if (!a.valid || !m.valid || flip[i] || flip[i - 1]) continue;
        const double nm = distancenm(a, m);
        const double hours = (m.minutes - a.minutes) / 60.0;
        if (hours <= 0) {
            if (nm > 1.0)
                out[i].push_back(trackfinding(
                    format("Track: %.1f nautical miles from the drop before at the same time or earlier "
                           "(%.0f min)",
                           nm, m.minutes - a.minutes)));
            continue;
        }
        const double knots = nm / hours;
        if (knots > maxknots)
            out[i].push_back(trackfinding(format(
                "Track: %.0f knots from the drop before (%.1f nautical miles in %.0f min; a ship makes at "
                "most %.0f knots)",
                knots, nm, m.minutes - a.minutes, maxknots)));
    }
    return out;
}
