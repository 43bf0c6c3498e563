// The pre-screen of the cruise: what each drop's files hold, read once per
// change and quietly (no log record, no box), the reference of each drop,
// the duplicates, the envelope and the command-line report.
#include "app/cruise_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "base/atomic_file.h"
#include "exchange/exported_drop.h"
#include "profile/edited_files.h"
#include "profile/probe_types.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/qccode.h"

namespace {

// An edited drop as a reference: its points down to the first one that the
// operator rejected (class 3 or 4); class 5 points are repairs and count.
std::size_t acceptedlength(const EditedContents& e) {
    const auto rejected =
        std::find_if(e.iclass.begin(), e.iclass.end(), [](int c) { return c == 3 || c == 4; });
    return static_cast<std::size_t>(rejected - e.iclass.begin());
}

DropProfile profileof(std::span<const float> depth, std::span<const float> t) {
    return DropProfile{depth, t};
}

// The entry of a drop (1..nstamax), empty until checked. The entries of the
// whole list are made at once, so that a reference to one stays good while
// others are looked up.
CheckedDrop& checked(const CheckParts& c, int drop) {
    std::vector<CheckedDrop>& all = c.check.drop;
    const auto at = static_cast<std::size_t>(std::clamp(drop, 0, nstamax));
    if (at >= all.size())
        all.resize(std::max(at, static_cast<std::size_t>(std::clamp(c.stations.nlines, 0, nstamax))) + 1);
    return all[at];
}

// The whole raw profile, with the cut the drop loading proposes for it.
void takeraw(CheckedDrop& c, std::shared_ptr<const RawContents> raw) {
    c.raw = std::move(raw);
    c.selfgood = -1;
    const RawContents& r = *c.raw;
    const std::size_t n = r.ierr == 0 ? std::min(r.depth.size(), r.t.size()) : 0;
    std::size_t cut = 0;
    if (n > 0) {
        const auto scratch = std::make_unique<SlotData>();  // a slot's worth: not for the stack
        std::copy_n(r.depth.begin(), n, scratch->depth.begin() + 1);
        std::copy_n(r.t.begin(), n, scratch->t.begin() + 1);
        scratch->nread = int(n);
        cut = std::min(n, static_cast<std::size_t>(clampPoints(fndbrk(*scratch, int(n), 1).npbr)));
    }
    c.depth = std::span<const float>(r.depth).first(n);
    c.t = std::span<const float>(r.t).first(n);
    c.cut = cut;
    const auto type = r.ierr == 0 ? probetypeof(r.hdr.probecode.view()) : std::nullopt;
    c.rated = type ? static_cast<float>(type->rated) : 0.0f;
}

// A drop as its own checks see it: the whole record with the proposed cut.
DropProfile ownprofile(const CheckedDrop& c) {
    DropProfile d{c.depth, c.t};
    d.cut = std::min(c.cut, c.t.size());
    d.rated = c.rated;
    return d;
}

// The points of an edited file above its rejected part; none when the file
// could not be read.
std::pair<std::span<const float>, std::span<const float>> acceptedpoints(const EditedContents& e) {
    if (e.ierr != 0) return {};
    const std::size_t n = acceptedlength(e);
    return {std::span<const float>(e.depth).first(n), std::span<const float>(e.t).first(n)};
}

// Whether a drop not yet edited may stand as a reference: its own checks,
// with no reference of its own, suggest no reject. Judged on the drop alone
// so that finding one reference never walks the whole cruise; a drop that
// is odd only against its neighbours is caught by the older reference.
bool selfgood(const CheckParts& parts, CheckedDrop& c) {
    if (c.selfgood < 0)
        c.selfgood = !c.t.empty() && goodreference(prescreen(ownprofile(c), nullptr, parts.thresholds));
    return c.selfgood == 1;
}

// Brings one drop's entry up to date with its files; its e file only for
// the envelope, which alone uses it.
CheckedDrop& entry(const CheckParts& parts, int drop, bool averaged = false) {
    const DropFiles& files = parts.files;
    CheckedDrop& c = checked(parts, drop);
    const std::string raw = dropfile(files, "r_", drop, ".KTD");
    if (c.path != raw) {
        c = CheckedDrop{};
        c.path = raw;
    }
    // The cache hands back the same contents while a file is unchanged.
    bool changed = false;
    if (auto now = parts.cache.raw(raw, files.len_f1, fallrateA, fallrateB); now != c.raw) {
        takeraw(c, std::move(now));
        changed = true;
    }
    auto edited = parts.cache.edited(dropfile(files, "q.", drop), files.len_f1, EditedLayout::Full);
    if (edited != c.edited || changed) {
        c.edited = std::move(edited);
        if (c.edited->ierr == 0)
            std::tie(c.rdepth, c.rt) = acceptedpoints(*c.edited);
        else
            std::tie(c.rdepth, c.rt) = std::pair(c.depth.first(std::min(c.cut, c.depth.size())),
                                                 c.t.first(std::min(c.cut, c.t.size())));
    }
    if (!averaged) {
        // The e file is read when it is next asked for.
        if (changed) c.avg.reset();
        return c;
    }
    auto avg = parts.cache.edited(dropfile(files, "e.", drop), files.len_f1, EditedLayout::TwoMetre);
    if (avg != c.avg || changed) {
        c.avg = std::move(avg);
        std::tie(c.edepth, c.et) = acceptedpoints(*c.avg);
    }
    return c;
}

// A field that says nothing (blanks, or the zeros that stand for blanks)
// makes no two drops the same.
template <std::size_t N>
bool given(const FixedText<N>& f) {
    for (char c : f.view())
        if (c != ' ' && c != '0' && c != '.' && c != ':' && c != '/' && c != '-') return true;
    return false;
}

bool sametimeandplace(const StationLine& a, const StationLine& b) {
    return given(a.adate) && given(a.atime) && given(a.alat) && given(a.alon) && a.adate == b.adate &&
           a.atime == b.atime && a.alat == b.alat && a.alon == b.alon;
}

Finding duplicatefinding(int other, std::string_view why) {
    return wholedropfinding(QcCode("NG"), 4,
                            "Duplicate of drop " + dropDigits(other) + ": " + std::string(why));
}

// An earlier drop of the list with the same time and position, or one
// already read with the same temperatures: only the later copy is flagged,
// so that the first stays the drop to keep. A list of hundreds of drops is
// compared in memory; only drops whose files were read are compared point
// for point.
void addduplicates(const CheckParts& parts, int drop, const DropProfile& own, std::vector<Finding>& out) {
    const StationTable& table = parts.stations;
    const int last = std::min(drop - 1, table.nlines);
    for (int d = 1; d <= last; ++d) {
        if (sametimeandplace(table[d], table[drop])) {
            out.push_back(duplicatefinding(d, "the same date, time and position"));
            return;
        }
    }
    for (int d = 1; d <= last; ++d) {
        const CheckedDrop& c = checked(parts, d);
        if (c.path.empty() || c.t.empty()) continue;
        if (sametemperatures(own, profileof(c.depth, c.t))) {
            out.push_back(duplicatefinding(d, "the same temperatures at every point"));
            return;
        }
    }
}

// Where and when a drop was made, from the list's date ("24/04/23", day
// first), time and decimal position fields, read as the exports read them.
Fix fixof(const StationLine& l) {
    Fix f;
    const auto lat = degrees(l.alat.view(), 90), lon = degrees(l.alon.view(), 360);
    const auto when = droptime(l.adate.view(), l.atime.view());
    if (!lat || !lon || !when) return f;
    f.valid = true;
    f.lat = *lat;
    f.lon = *lon;
    f.minutes = days1950(*when) * 1440.0;
    return f;
}

// The track findings of one drop, from the drops either side in the list.
std::vector<Finding> trackof(const StationTable& table, int drop) {
    std::array<Fix, 3> fixes{};
    std::size_t at = 0, k = 0;
    for (int d = drop - 1; d <= drop + 1; ++d) {
        if (d < 1 || d > table.nlines) continue;
        if (d == drop) at = k;
        fixes[k++] = fixof(table[d]);
    }
    auto all = trackfindings(std::span<const Fix>(fixes.data(), k));
    return std::move(all[at]);
}

std::vector<Finding> findingsof(const CheckParts& parts, int drop, const DropProfile& own) {
    const int r = referencedrop(parts, drop);
    const int o = r > 0 ? referencedrop(parts, r) : 0;
    // The drop after, unless marked bad or a test probe: it tells a change
    // of the water from a fault of this drop.
    const int nx = drop + 1 <= parts.stations.nlines && parts.stations[drop + 1].istatus >= 0 ? drop + 1 : 0;
    if (nx > 0) entry(parts, nx);
    const auto profile = [&parts](int d) {
        const CheckedDrop& c = checked(parts, d);
        return profileof(c.rdepth, c.rt);
    };
    const DropProfile refp = r > 0 ? profile(r) : DropProfile{};
    const DropProfile olderp = o > 0 ? profile(o) : DropProfile{};
    const DropProfile nextp = nx > 0 ? profile(nx) : DropProfile{};
    const Neighbours around{r > 0 ? &refp : nullptr, o > 0 ? &olderp : nullptr,
                            nextp.size() > 0 ? &nextp : nullptr};
    std::vector<Finding> f = prescreen(own, around, parts.thresholds);
    addduplicates(parts, drop, own, f);
    for (Finding& t : trackof(parts.stations, drop)) f.push_back(std::move(t));
    return f;
}

}  // namespace

int referencedrop(const CheckParts& parts, int drop) {
    for (int d = std::min(drop, parts.stations.nlines + 1) - 1; d >= 1; --d) {
        const int status = parts.stations[d].istatus;
        if (status != 0 && status != 1) continue;
        CheckedDrop& c = entry(parts, d);
        if (c.rt.empty()) continue;
        // The operator's word stands; a drop not yet edited stands on its own checks.
        if (status == 1 || selfgood(parts, c)) return d;
    }
    return 0;
}

std::vector<Finding> currentfindings(const CheckParts& parts, const SlotData& cur, int n, int drop) {
    n = clampPoints(n);
    if (drop < 1 || drop > parts.stations.nlines || n == 0) return {};
    // The whole record as loaded, with the cut the load proposed, and the
    // probe's rated depth from the raw file the cache holds for the drop.
    DropProfile own = dropprofile(cur, std::max(n, clampPoints(cur.nread)));
    own.cut = static_cast<std::size_t>(n);
    own.rated = entry(parts, drop).rated;
    return findingsof(parts, drop, own);
}

const std::vector<Finding>& dropfindings(const CheckParts& parts, int drop) {
    static const std::vector<Finding> none;
    if (drop < 1 || drop > parts.stations.nlines) return none;
    CheckedDrop& c = entry(parts, drop);
    c.findings = c.t.empty() ? std::vector<Finding>{} : findingsof(parts, drop, ownprofile(c));
    return c.findings;
}

std::string findingtag(const Finding& f) {
    char depth[32];
    std::snprintf(depth, sizeof depth, " %.1f m", static_cast<double>(f.depth));
    const char letter = f.iqc == 3 || f.iqc == 4 ? 'R' : 'A';
    return std::string(f.code.view()) + letter + depth;
}

std::string reportline(int drop, const Finding& f) {
    char depth[32];
    std::snprintf(depth, sizeof depth, "%.3f", static_cast<double>(f.depth));
    return dropDigits(drop) + "\t" + std::string(f.code.view()) + "\t" + std::to_string(f.iqc) + "\t" +
           depth + "\t" + f.sentence;
}

std::vector<PlotMark> findingmarks(std::span<const Finding> findings, const SlotData& cur) {
    std::vector<PlotMark> marks;
    for (const Finding& f : findings) {
        if (f.point < 1 || f.point > clampPoints(cur.nread)) continue;
        const auto k = static_cast<std::size_t>(f.point);
        std::string tag = findingtag(f);
        marks.push_back({cur.t[k], cur.depth[k], tag.substr(0, 3)});
    }
    return marks;
}

std::vector<EnvelopeBin> cruiseenvelope(const CheckParts& parts) {
    EnvelopeSum sum;
    for (int d = 1; d <= parts.stations.nlines; ++d) {
        if (parts.stations[d].istatus != 1) continue;
        const CheckedDrop& c = entry(parts, d, true);
        if (!c.et.empty())
            sum.add(c.edepth, c.et);
        else
            sum.add(c.rdepth, c.rt);
    }
    return sum.bins();
}

std::vector<std::string> cruisereport(const CheckParts& parts, std::string_view cruise, int* unread) {
    const int nlines = parts.stations.nlines;
    // Every drop is read first, so that the duplicates are found among all.
    std::string notread;
    int nnotread = 0;
    for (int d = 1; d <= nlines; ++d) {
        const CheckedDrop& c = entry(parts, d);
        if (!c.t.empty()) continue;
        const auto why = unreadable(c.path);
        notread += (nnotread++ == 0 ? "" : ", ") + dropDigits(d) + " (" +
                   (why ? why->reason : "no profile in it") + ")";
    }
    if (unread) *unread = nnotread;
    std::vector<std::string> lines;
    int flagged = 0;
    std::map<std::string, int> bycode;
    for (int d = 1; d <= nlines; ++d) {
        const auto& fs = dropfindings(parts, d);
        flagged += !fs.empty();
        for (const Finding& f : fs) {
            lines.push_back(reportline(d, f));
            ++bycode[std::string(f.code.view())];
        }
    }
    const std::size_t total = lines.size();
    std::string counts = std::string(cruise) + ": " + std::to_string(nlines - nnotread) + " drops checked, " +
                         std::to_string(flagged) + " with findings, " + std::to_string(total) +
                         (total == 1 ? " finding" : " findings");
    const char* sep = ": ";
    for (const auto& [code, n] : bycode) {
        counts += sep + std::to_string(n) + " " + code;
        sep = ", ";
    }
    if (nnotread > 0) counts += "; " + std::to_string(nnotread) + " not read: " + notread;
    lines.push_back(counts);
    return lines;
}
