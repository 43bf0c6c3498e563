// The pre-screen of the cruise: what each drop's files hold, read once per
// change and quietly (no log record, no box), the reference of each drop,
// the duplicates, the envelope and the command-line report.
#include "app/cruise_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <tuple>

#include "profile/edited_files.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/qccode.h"

namespace {

using Points = std::pair<std::vector<float>, std::vector<float>>;

// Points 1..n of a slot as two vectors, kept after the slot is reused.
Points pointsof(const SlotData& s, int n) {
    const DropProfile p = dropprofile(s, n);
    return {{p.depth.begin(), p.depth.end()}, {p.t.begin(), p.t.end()}};
}

// An edited drop as a reference: its points down to the first one that the
// operator rejected (class 3 or 4); class 5 points are repairs and count.
int acceptedlength(const SlotData& s) {
    const int n = clampPoints(s.nread);
    for (int i = 1; i <= n; ++i) {
        const int c = s.iclass[static_cast<std::size_t>(i)];
        if (c == 3 || c == 4) return i - 1;
    }
    return n;
}

DropProfile profileof(const std::vector<float>& depth, const std::vector<float>& t) {
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

// The raw profile down to its wire break, as the drop loading finds it.
void readraw(CheckedDrop& c, int prefixLength, SlotData& scratch) {
    const auto owned = std::make_unique<RawDrop>();  // two profiles' worth: not for the stack
    RawDrop& rd = *owned;
    rd = rddropfix(FileName(c.path), prefixLength, fallrateA, fallrateB, {});
    scratch.nread = rd.ierr == 0 ? clampPoints(rd.n) : 0;
    for (int i = 1; i <= scratch.nread; ++i) {
        scratch.depth[static_cast<std::size_t>(i)] = rd.depth[static_cast<std::size_t>(i - 1)];
        scratch.t[static_cast<std::size_t>(i)] = rd.t[static_cast<std::size_t>(i - 1)];
    }
    const WireBreak w = fndbrk(scratch, scratch.nread, 1);
    std::tie(c.depth, c.t) = pointsof(scratch, w.npbr);
    c.selfgood = -1;
}

// Whether a drop not yet edited may stand as a reference: its own checks,
// with no reference of its own, suggest no reject. Judged on the drop alone
// so that finding one reference never walks the whole cruise; a drop that
// is odd only against its neighbours is caught by the older reference.
bool selfgood(const CheckParts& parts, CheckedDrop& c) {
    if (c.selfgood < 0)
        c.selfgood =
            !c.t.empty() && goodreference(prescreen(profileof(c.depth, c.t), nullptr, parts.thresholds));
    return c.selfgood == 1;
}

// Brings one drop's entry up to date with its files; its e file only for
// the envelope, which alone uses it.
CheckedDrop& entry(const CheckParts& parts, int drop, bool averaged = false) {
    // A slot's worth of room for the readers, made only when a file is read.
    std::unique_ptr<SlotData> room;
    const auto scratch = [&room]() -> SlotData& {
        if (!room) room = std::make_unique<SlotData>();
        return *room;
    };
    const DropFiles& files = parts.files;
    CheckedDrop& c = checked(parts, drop);
    const std::string raw = dropfile(files, "r_", drop, ".KTD");
    if (c.path != raw) {
        c = CheckedDrop{};
        c.path = raw;
    }
    bool changed = false;
    if (const FileStamp now = stampof(raw); now != c.raw) {
        c.raw = now;
        c.depth.clear();
        c.t.clear();
        if (now.exists) readraw(c, files.len_f1, scratch());
        changed = true;
    }
    const std::string q = dropfile(files, "q.", drop);
    if (const FileStamp now = stampof(q); now != c.edited || changed) {
        c.edited = now;
        c.rdepth.clear();
        c.rt.clear();
        if (const EditedPoints& last = parts.check.lastedited;
            now.exists && last.stamp == now && last.path == q) {
            c.rdepth = last.depth;
            c.rt = last.t;
        } else if (now.exists && rdq(FileName(q), scratch(), files.len_f1).ierr == 0) {
            std::tie(c.rdepth, c.rt) = pointsof(*room, acceptedlength(*room));
        } else {
            c.rdepth = c.depth;
            c.rt = c.t;
        }
    }
    if (!averaged) {
        // No real file has this stamp: the e file is read when it is next asked for.
        if (changed) c.avg = FileStamp{true, -1, 0};
        return c;
    }
    const std::string e = dropfile(files, "e.", drop);
    if (const FileStamp now = stampof(e); now != c.avg || changed) {
        c.avg = now;
        c.edepth.clear();
        c.et.clear();
        if (now.exists && winrdfl(FileName(e), scratch(), files.len_f1, {}).ierr == 0)
            std::tie(c.edepth, c.et) = pointsof(*room, acceptedlength(*room));
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
    Finding f;
    f.index = 0;
    f.code = QcCode("NG");
    f.iqc = 4;
    f.point = 1;
    f.depth = 0;
    f.sentence = "Duplicate of drop " + dropDigits(other) + ": " + std::string(why);
    return f;
}

// Another drop of the list with the same time and position, or one already
// read with the same temperatures. A list of hundreds of drops is compared
// in memory; only drops whose files were read are compared point for point.
void addduplicates(const CheckParts& parts, int drop, const DropProfile& own, std::vector<Finding>& out) {
    const StationTable& table = parts.stations;
    for (int d = 1; d <= table.nlines; ++d) {
        if (d == drop) continue;
        if (sametimeandplace(table[d], table[drop])) {
            out.push_back(duplicatefinding(d, "the same date, time and position"));
            return;
        }
    }
    for (int d = 1; d <= table.nlines; ++d) {
        const CheckedDrop& c = checked(parts, d);
        if (d == drop || c.path.empty() || c.t.empty()) continue;
        if (sametemperatures(own, profileof(c.depth, c.t))) {
            out.push_back(duplicatefinding(d, "the same temperatures at every point"));
            return;
        }
    }
}

std::vector<Finding> findingsof(const CheckParts& parts, int drop, const DropProfile& own) {
    const int r = referencedrop(parts, drop);
    const int o = r > 0 ? referencedrop(parts, r) : 0;
    const auto profile = [&parts](int d) {
        const CheckedDrop& c = checked(parts, d);
        return profileof(c.rdepth, c.rt);
    };
    const DropProfile refp = r > 0 ? profile(r) : DropProfile{};
    const DropProfile olderp = o > 0 ? profile(o) : DropProfile{};
    std::vector<Finding> f =
        prescreen(own, r > 0 ? &refp : nullptr, o > 0 ? &olderp : nullptr, parts.thresholds);
    addduplicates(parts, drop, own, f);
    return f;
}

}  // namespace

void notedited(CruiseCheck& check, std::string path, const FileStamp& before, const SlotData& s) {
    EditedPoints& last = check.lastedited;
    last.path = std::move(path);
    last.stamp = before;
    std::tie(last.depth, last.t) = pointsof(s, acceptedlength(s));
}

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
    const bool listed = drop >= 1 && drop <= parts.stations.nlines;
    if (!listed || n == 0) return {};
    if (parts.files.ieditktd == 1) {
        // The drop as loaded is the raw profile down to its break: keep it,
        // so that the next drop's reference costs no second read.
        CheckedDrop& c = checked(parts, drop);
        const std::string raw = dropfile(parts.files, "r_", drop, ".KTD");
        if (c.path != raw || c.raw != stampof(raw)) {
            c = CheckedDrop{};
            c.path = raw;
            c.raw = stampof(raw);
            std::tie(c.depth, c.t) = pointsof(cur, n);
            // No real file has this stamp: its edited files are read when it is next asked for.
            c.edited = c.avg = FileStamp{true, -1, 0};
        }
    }
    return findingsof(parts, drop, dropprofile(cur, n));
}

const std::vector<Finding>& dropfindings(const CheckParts& parts, int drop) {
    static const std::vector<Finding> none;
    if (drop < 1 || drop > parts.stations.nlines) return none;
    CheckedDrop& c = entry(parts, drop);
    c.findings = c.t.empty() ? std::vector<Finding>{} : findingsof(parts, drop, profileof(c.depth, c.t));
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

std::vector<std::string> cruisereport(const CheckParts& parts, std::string_view cruise) {
    const int nlines = parts.stations.nlines;
    // Every drop is read first, so that the duplicates are found among all.
    for (int d = 1; d <= nlines; ++d) entry(parts, d);
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
    std::string counts = std::string(cruise) + ": " + std::to_string(nlines) + " drops checked, " +
                         std::to_string(flagged) + " with findings, " + std::to_string(total) +
                         (total == 1 ? " finding" : " findings");
    const char* sep = ": ";
    for (const auto& [code, n] : bycode) {
        counts += sep + std::to_string(n) + " " + code;
        sep = ", ";
    }
    lines.push_back(counts);
    return lines;
}
