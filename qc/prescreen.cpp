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

#include "qc/cut.h"
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

// The band leaves out the warmest and the coldest hundredth of the
// readings: a probe on deck still twitches now and then.
// A probe that never left the deck or the launcher may also read the air
// or the tank for minutes and then drift: its top holds one warm value far
// deeper than any mixed layer of water that warm reaches.
std::optional<std::string> testprobe(const Points& p, const Thresholds& th) {
    if (p.size() < 10 || p.z.back() - p.z.front() < th.tpdepth) return std::nullopt;
    std::vector<float> t(p.t);
    const std::size_t cut = t.size() / 100;
    std::nth_element(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(cut), t.end());
    const float lo = t[cut];
    std::nth_element(t.begin(), t.end() - 1 - static_cast<std::ptrdiff_t>(cut), t.end());
    const float range = t[t.size() - 1 - cut] - lo;
    if (range <= th.tprange)
        return format(
            "Test probe: the whole profile stays within %.2f \u00b0C over %.1f m "
            "(a band of at most %.2f \u00b0C over %.1f m or more)",
            range, p.z.back() - p.z.front(), th.tprange, th.tpdepth);
    // The top band, from the first reading down; a few readings off the
    // band in a row are twitches, more end it.
    constexpr std::size_t twitches = 3;
    float bl = p.t[0], bh = p.t[0];
    std::size_t last = 0, off = 0;
    for (std::size_t i = 1; i < p.size() && off <= twitches; ++i) {
        const float l = std::min(bl, p.t[i]), h = std::max(bh, p.t[i]);
        if (h - l > th.tprange) {
            ++off;
            continue;
        }
        off = 0;
        bl = l;
        bh = h;
        last = i;
    }
    const float held = p.z[last] - p.z.front();
    const float level = 0.5f * (bl + bh);
    if (held < th.tpwarmdepth || level < th.tpwarm) return std::nullopt;
    // A record that stays about the band below it is the whole-profile
    // band's to judge; this one is for a top held and then let go.
    float away = 0;
    for (std::size_t i = last + 1; i < p.size(); ++i) away = std::max(away, std::fabs(p.t[i] - level));
    if (away <= 2.0f * th.tprange) return std::nullopt;
    return format(
        "Test probe: the top %.1f m stay within %.2f \u00b0C of %.2f \u00b0C (no mixed layer "
        "warmer than %.2f \u00b0C reaches %.1f m)",
        held, bh - bl, level, th.tpwarm, th.tpwarmdepth);
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
        {"tsat",
         "a reading at or above this is the recorder's limit, not water; lasting, the record ends, degrees",
         th.tsat},
        {"stepmax", "largest change between two samples above 300 m that water holds, degrees", th.stepmax},
        {"stepdeep",
         "the same below 500 m (on a line between); a larger lasting step into a ragged record ends it",
         th.stepdeep},
        {"warmmargin",
         "below 100 m nothing is warmer than the warmest water above 100 m by more than this, degrees",
         th.warmmargin},
        {"deepmax", "below 400 m nothing is warmer than this, degrees", th.deepmax},
        {"wander", "below 300 m nothing warms more than this above the coldest reading there, degrees",
         th.wander},
        {"tpwarm", "a top this warm or warmer that stays within tprange...", th.tpwarm},
        {"tpwarmdepth", "...over this depth or more is a test probe, whatever follows, metres",
         th.tpwarmdepth},
        {"hbdrift", "a hit bottom's 5 m medians stay within this of the medians below them, degrees",
         th.hbdrift},
        {"hbtotal", "...and within this of the deepest over the whole tail, degrees", th.hbtotal},
        {"hbrate", "...or within this per metre of a longer tail, degrees per metre", th.hbrate},
        {"ivmin", "a smooth inversion of at least this is suggested as probable (PIA), degrees", th.ivmin},
        {"ivdepth", "over at least this depth, metres", th.ivdepth},
    };
}

Finding wholedropfinding(QcCode code, int iqc, std::string sentence) {
    Finding f;
    f.code = code;
    f.iqc = iqc;
    f.sentence = std::move(sentence);
    return f;
}

std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const Thresholds& th) {
    return prescreen(drop, Neighbours{ref, nullptr, nullptr}, th);
}

std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const DropProfile* older,
                               const Thresholds& th) {
    return prescreen(drop, Neighbours{ref, older, nullptr}, th);
}

namespace {

// The wire-break finding: where the good data end, what the record does
// below, and where the load's cut proposal stands when it is elsewhere.
Finding breakfinding(const Points& all, const Fault& f, const DropProfile& d) {
    constexpr float agree = 5.0f;
    const bool none = f.at == 0;
    const std::size_t last = none ? 0 : f.at - 1;
    const int point = all.size() > 0 ? all.point[last] : 1;
    const float z = all.size() > 0 ? all.z[last] : all.z1;
    std::string sentence =
        none ? format("Wire break at the surface: no good data; from %.1f m the record reads %s", f.z,
                      f.what.c_str())
             : format("Wire break at %.1f m: good data end there; from %.1f m the record reads %s", z, f.z,
                      f.what.c_str());
    const std::size_t n = d.size();
    if (d.cut < n && d.cut > 0) {
        const float zc = -d.depth[d.cut - 1];
        if (std::isfinite(zc) && std::fabs(zc - z) > agree)
            sentence += format("; the cut proposed at load is at %.1f m", zc);
    } else if (d.cut >= n && n > 0 && d.cut != static_cast<std::size_t>(-1)) {
        sentence += "; the cut proposed at load keeps the whole record";
    }
    return makefinding(22, point, z, std::move(sentence));
}

// A cut proposed at load above the end of the record, where the checks saw
// nothing wrong: the proposal stands as a wire break of its own.
std::optional<Fault> proposedcut(const Points& p, const DropProfile& d) {
    if (d.cut >= d.size() || d.cut == 0) return std::nullopt;
    const int below = static_cast<int>(d.cut) + 1;  // the first point below the cut
    const std::size_t k = atpoint(p, below);
    if (k >= p.size()) return std::nullopt;
    Fault f;
    f.at = k;
    f.z = p.z[k];
    f.what = format("%.2f \u00b0C, a jump from the running minimum beyond the cut search's limit", p.t[k]);
    return f;
}

// An inversion that the reference drop has too, at about the same depth,
// is the water's: the prompt becomes IVA, confirmed (class 1), where one
// of this drop alone stays PIA, probable (class 2).
void confirminversion(Finding& f, const DropProfile& ref, const Thresholds& th) {
    constexpr float samedepth = 20.0f;
    const Points r = referencepoints(ref, th);
    std::vector<Finding> theirs;
    inversion(r, th, theirs);
    if (theirs.empty() || std::fabs(theirs.front().depth - f.depth) > samedepth) return;
    f = makefinding(
        2, f.point, f.depth,
        f.sentence + format("; the reference drop has it too, from %.1f m", theirs.front().depth));
}

}  // namespace

std::vector<Finding> prescreen(const DropProfile& drop, const Neighbours& around, const Thresholds& th) {
    std::vector<Finding> out;
    Points p = usablepoints(drop, th);
    std::optional<Fault> fault = outofrange(drop, th, p, out);
    // The samples that ramp into an open circuit or an overflow go with it.
    if (fault && fault->at > 0 && fault->at == p.size()) {
        const auto first = static_cast<std::size_t>(
            std::find_if(drop.t.begin(), drop.t.end(),
                         [&th](float v) { return !(v >= th.tmin && v <= th.tmax); }) -
            drop.t.begin());
        const float dir =
            first < drop.size() && std::isfinite(drop.t[first]) && drop.t[first] > th.tmax ? 1.0f : -1.0f;
        fault->at = rampstart(p, p.size(), dir);
        truncate(p, fault->at);
    }
    if (const std::optional<Fault> inside = recordfault(p, th); inside && (!fault || inside->at < fault->at))
        fault = inside;
    const Points all = p;
    if (fault) {
        truncate(p, fault->at);
        // What lies below the fault is not worth a word of its own.
        const float z = fault->z;
        std::erase_if(out, [z](const Finding& f) { return f.depth > z; });
    }

    if (std::optional<std::string> why = testprobe(p, th)) {
        out.clear();
        out.push_back(makefinding(23, 1, p.z1, std::move(*why)));
        return out;
    }

    const std::vector<char> spiky = spikes(p, th, &out);
    Points q = without(std::move(p), spiky);
    // A saturated stretch that the record comes back from is a probe that
    // struck the floor: the hit bottom is at the last good reading.
    bool bottom = false;
    if (fault && fault->recovers && fault->at > 0 && q.size() > 0) {
        const std::size_t last = fault->at - 1;
        out.push_back(makefinding(
            15, all.point[last], all.z[last],
            format("Hit bottom at %.1f m: the record jumps to %s and later comes back to the water's "
                   "temperature, a probe that struck the floor",
                   all.z[last], fault->what.c_str())));
        bottom = true;
    }
    // The surface checks need a mixed layer below the top and good water
    // under it: never suggest moving the top from what lies above a fault.
    constexpr float underlayer = 15.0f;
    if (!bottom && q.size() > 0 && (!fault || q.z.back() >= th.surfdepth + underlayer)) surface(q, th, out);
    if (!bottom) bottom = hitbottom(q, th, &out, around);
    // The load's cut search below 699 m often stops at a floor's impact or
    // a deep step of the water; it is only the word when nothing else ends
    // the record.
    if (!fault && !bottom) fault = proposedcut(all, drop);
    if (fault && !bottom) out.push_back(breakfinding(all, *fault, drop));
    if (!bottom && !fault) shortprofile(q, th, drop.rated, out);
    if (fault) truncate(q, atdepth(q, fault->z));
    inversion(q, th, out);
    if (around.ref != nullptr && !out.empty() && out.back().index == 9)
        confirminversion(out.back(), *around.ref, th);
    if (around.ref != nullptr) {
        const auto pl = std::find_if(out.begin(), out.end(), [](const Finding& f) { return f.index == 10; });
        if (pl != out.end()) q = launched(q, drop, pl->point);
        std::vector<Finding> differ;
        std::vector<int> sense;
        againstreference(q, *around.ref, th, differ, &sense);
        const DropProfile* other = around.next != nullptr ? around.next : around.older;
        if (other != nullptr && !differ.empty()) {
            std::vector<Finding> before;
            std::vector<int> bsense;
            againstreference(q, *other, th, before, &bsense);
            // The same way: the same code, the same sense, within a few
            // metres, so that an odd reference's difference is not
            // confirmed by a small one of the other drop somewhere else.
            constexpr float sameplace = 10.0f;
            std::vector<Finding> kept;
            for (std::size_t i = 0; i < differ.size(); ++i) {
                bool same = false;
                for (std::size_t j = 0; j < before.size() && !same; ++j)
                    same =
                        before[j].index == differ[i].index && bsense[j] == sense[i] &&
                        (differ[i].index == 1 || std::fabs(before[j].depth - differ[i].depth) <= sameplace);
                if (same) kept.push_back(std::move(differ[i]));
            }
            differ = std::move(kept);
        }
        out.insert(out.end(), differ.begin(), differ.end());
    }

    std::stable_sort(out.begin(), out.end(),
                     [](const Finding& a, const Finding& b) { return a.depth < b.depth; });
    return out;
}

bool goodreference(const std::vector<Finding>& findings) {
    // Below a wire break a drop is cut, and above it it is as good as any:
    // only a break near the top leaves too little to compare with.
    constexpr float usable = 100.0f;
    return std::none_of(findings.begin(), findings.end(), [](const Finding& f) {
        return f.iqc >= 3 && f.index != 18 && !(f.index == 22 && f.depth >= usable);
    });
}

bool routineend(const Finding& f) {
    return f.index == 22 && f.depth >= breaksearchdepth;
}

bool sametemperatures(const DropProfile& a, const DropProfile& b) {
    return a.size() > 0 && a.size() == b.size() &&
           std::equal(a.t.begin(), a.t.begin() + a.size(), b.t.begin());
}
