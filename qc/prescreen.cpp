// Placeholder until the checks exist: the interface with no findings.
#include "qc/prescreen.h"

#include <algorithm>

DropProfile dropprofile(const SlotData& s, int n) {
    const auto k = static_cast<std::size_t>(clampPoints(n));
    return DropProfile{std::span<const float>(s.depth).subspan(1, k), std::span<const float>(s.t).subspan(1, k)};
}

std::vector<ThresholdRow> thresholdtable(const Thresholds& th) {
    return {{"dtmx", "largest difference from the reference drop at one depth, degrees", th.dtmx}};
}

std::vector<Finding> prescreen(const DropProfile&, const DropProfile*, const Thresholds&) { return {}; }

bool sametemperatures(const DropProfile& a, const DropProfile& b) {
    return a.size() > 0 && a.size() == b.size() && std::equal(a.t.begin(), a.t.end(), b.t.begin());
}
