// The pre-screen's checks of one drop. Every check works on the drop's
// usable points (finite, in range, strictly deeper than the point before)
// and says what it measured against which threshold. The checks that come
// later in a drop see the drop with what the earlier ones explained taken
// out: no spike points, nothing below a hit bottom, so that one fault gives
// one finding.
#include "qc/prescreen.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "qc/prescreen_points.h"
#include "qc/qccode.h"

namespace prescreen_detail {

std::string format(const char* f, ...) {
    char buf[320];
    va_list ap;
    va_start(ap, f);
    const int n = std::vsnprintf(buf, sizeof buf, f, ap);
    va_end(ap);
    return n < 0 ? std::string()
                 : std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

Finding makefinding(int index, int point, float depth, std::string sentence) {
    const QcCatalogueEntry& e = qccatalogue[static_cast<std::size_t>(index - 1)];
    Finding f;
    f.index = index;
    f.code = QcCode(e.code);
    f.iqc = e.iclass;
    f.point = point;
    f.depth = depth;
    f.sentence = std::move(sentence);
    return f;
}

Points usablepoints(const DropProfile& d, const Thresholds& th) {
    Points p;
    const std::size_t n = d.size();
    p.z.resize(n);
    p.t.resize(n);
    p.point.resize(n);
    if (n > 0 && std::isfinite(d.depth[0])) p.z1 = -d.depth[0];
    float last = -INFINITY;
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float z = -d.depth[i];
        const float t = d.t[i];
        if (!std::isfinite(z) || !std::isfinite(t) || t < th.tmin || t > th.tmax || !(z > last)) continue;
        p.z[k] = z;
        p.t[k] = t;
        p.point[k] = static_cast<int>(i) + 1;
        last = z;
        ++k;
    }
    truncate(p, k);
    return p;
}

Points without(Points p, const std::vector<char>& drop) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (drop[i]) continue;
        p.z[k] = p.z[i];
        p.t[k] = p.t[i];
        p.point[k] = p.point[i];
        ++k;
    }
    truncate(p, k);
    return p;
}

void truncate(Points& p, std::size_t n) {
    n = std::min(n, p.size());
    p.z.resize(n);
    p.t.resize(n);
    p.point.resize(n);
}

bool testprobe(const Points& p, const Thresholds& th, float& range) {
    if (p.size() < 10 || p.z.back() - p.z.front() < th.tpdepth) return false;
    const auto [lo, hi] = std::minmax_element(p.t.begin(), p.t.end());
    range = *hi - *lo;
    return range <= th.tprange;
}

// After a premature launch the profile sits too deep by the points that
// were recorded before the probe entered the water. The PL edit moves every
// temperature up by that many points, and the operator codes after it; so
// the comparisons with the reference see the drop as that edit will leave
// it, and their findings name the points and depths of then.
Points launched(const Points& q, const DropProfile& d, int start) {
    Points r;
    r.z1 = q.z1;
    float last = -INFINITY;
    for (std::size_t i = 0; i < q.size(); ++i) {
        if (q.point[i] < start) continue;
        const auto k = static_cast<std::size_t>(q.point[i] - start);
        const float z = -d.depth[k];
        if (!std::isfinite(z) || !(z > last)) continue;
        r.z.push_back(z);
        r.t.push_back(q.t[i]);
        r.point.push_back(static_cast<int>(k) + 1);
        last = z;
    }
    return r;
}

}  // namespace prescreen_detail

using namespace prescreen_detail;

DropProfile dropprofile(const SlotData& s, int n) {
    const auto k = static_cast<std::size_t>(clampPoints(n));
    return DropProfile{std::span<const float>(s.depth).subspan(1, k),
                       std::span<const float>(s.t).subspan(1, k)};
}

std::vector<ThresholdRow> thresholdtable(const Thresholds& th) {
    return {
        {"dtmx", "largest difference from the reference drop at one depth, degrees", th.dtmx},
        {"dtmx700", "largest difference from the reference drop at 700 m, degrees", th.dtmx700},
        {"ichkprofdepth", "the depth a good profile reaches; a shallower end is flagged, metres",
         static_cast<float>(th.ichkprofdepth)},
        {"tdzmx", "largest displacement of an isotherm from the reference drop, metres", th.tdzmx},
        {"tdzrms", "largest rms displacement of the isotherms from the reference drop, metres", th.tdzrms},
        {"dtdzmn",
         "isotherms are followed where the drop cools at least this steeply (negative), degrees per metre",
         th.dtdzmn},
        {"dtdzth", "...and where the reference's gradient at the isotherm exceeds this, degrees per metre",
         th.dtdzth},
        {"tmin", "coldest temperature taken as sea water, degrees", th.tmin},
        {"tmax", "warmest temperature taken as sea water, degrees", th.tmax},
        {"tprange", "a test probe's whole profile stays within this band, degrees", th.tprange},
        {"tpdepth", "over at least this depth, metres", th.tpdepth},
        {"spmin", "a spike departs from the line between its neighbours by more than this, degrees",
         th.spmin},
        {"spwidth", "a spike is at most this many points", static_cast<float>(th.spwidth)},
        {"spdepth", "spikes are sought below this depth, metres", th.spdepth},
        {"hfcount", "more spikes than this in one drop are high-frequency noise",
         static_cast<float>(th.hfcount)},
        {"hbband", "a hit bottom's tail stays within half this band of the floor (wider if noisy), degrees",
         th.hbband},
        {"hblength", "over at least this length, metres", th.hblength},
        {"hbgrad", "while the water above it cools at least this fast, degrees per metre", th.hbgrad},
        {"sastep", "a step between the top and the mixed layer below that is a surface anomaly, degrees",
         th.sastep},
        {"surfstep", "a step that spoils the top: removed (CS) or a premature launch (PL), degrees",
         th.surfstep},
        {"csdepth", "deepest start of good data for CS; deeper is a premature launch, metres", th.csdepth},
        {"surfdepth", "the start of good data is sought down to this depth, metres", th.surfdepth},
        {"mltol", "the mixed layer below a surface step stays within this band over 5 m, degrees", th.mltol},
    };
}

std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const Thresholds& th) {
    return prescreen(drop, ref, nullptr, th);
}

std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const DropProfile* older,
                               const Thresholds& th) {
    std::vector<Finding> out;
    Points p = usablepoints(drop, th);
    outofrange(drop, th, p, out);

    float range = 0;
    if (testprobe(p, th, range)) {
        out.push_back(
            makefinding(23, 1, p.z1,
                        format("Test probe: the whole profile stays within %.2f \u00b0C over %.1f m "
                               "(a band of at most %.2f \u00b0C over %.1f m or more)",
                               range, p.z.back() - p.z.front(), th.tprange, th.tpdepth)));
        return out;
    }

    const std::vector<char> spiky = spikes(p, th, &out);
    Points q = without(std::move(p), spiky);
    surface(q, th, out);
    const bool bottom = hitbottom(q, th, &out);
    const bool ended = std::any_of(out.begin(), out.end(), [](const Finding& f) { return f.code == "WB"; });
    if (!bottom && !ended) shortprofile(q, th, out);
    if (ref != nullptr) {
        const auto pl = std::find_if(out.begin(), out.end(), [](const Finding& f) { return f.index == 10; });
        if (pl != out.end()) q = launched(q, drop, pl->point);
        std::vector<Finding> differ;
        againstreference(q, *ref, th, differ);
        if (older != nullptr && !differ.empty()) {
            std::vector<Finding> before;
            againstreference(q, *older, th, before);
            // The same way: the same code within a few metres, so that an
            // odd reference's difference is not confirmed by a small one of
            // the older drop somewhere else.
            constexpr float sameplace = 10.0f;
            std::erase_if(differ, [&before](const Finding& f) {
                return std::none_of(before.begin(), before.end(), [&f](const Finding& b) {
                    return b.index == f.index && std::fabs(b.depth - f.depth) <= sameplace;
                });
            });
        }
        out.insert(out.end(), differ.begin(), differ.end());
    }

    std::stable_sort(out.begin(), out.end(),
                     [](const Finding& a, const Finding& b) { return a.depth < b.depth; });
    return out;
}

bool goodreference(const std::vector<Finding>& findings) {
    return std::none_of(findings.begin(), findings.end(),
                        [](const Finding& f) { return f.iqc >= 3 && f.index != 18; });
}

bool sametemperatures(const DropProfile& a, const DropProfile& b) {
    return a.size() > 0 && a.size() == b.size() &&
           std::equal(a.t.begin(), a.t.begin() + a.size(), b.t.begin());
}
