// The pre-screen of the cruise: what each drop's files hold, read once per
// change and quietly (no log record, no box), the reference of each drop,
// the duplicates, the envelope and the command-line report.
#include "app/cruise_check.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "app/control.h"
#include "app/startup.h"
#include "app/state.h"
#include "base/atomic_file.h"
#include "profile/edited_files.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/qccode.h"
#include "toolkit/session.h"

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

// The raw profile down to its wire break, as the drop loading finds it.
// The overview takes its deepest point from the same read.
void readraw(CheckedDrop& c, int drop, State& st, SlotData& scratch) {
    const auto owned = std::make_unique<RawDrop>();  // two profiles' worth: not for the stack
    RawDrop& rd = *owned;
    rd = rddropfix(FileName(c.path), st.files.len_f1, fallrateA, fallrateB, {});
    takeraw(st.overview, drop, c.path, c.raw, rd);
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
bool selfgood(State& st, CheckedDrop& c) {
    if (c.selfgood < 0)
        c.selfgood =
            !c.t.empty() && goodreference(prescreen(profileof(c.depth, c.t), nullptr, st.thresholds));
    return c.selfgood == 1;
}

// Brings one drop's entry up to date with its files; its e file only for
// the envelope, which alone uses it.
CheckedDrop& entry(State& st, int drop, bool averaged = false) {
    // A slot's worth of room for the readers, made only when a file is read.
    std::unique_ptr<SlotData> room;
    const auto scratch = [&room]() -> SlotData& {
        if (!room) room = std::make_unique<SlotData>();
        return *room;
    };
    CheckedDrop& c = checked(st, drop);
    const std::string raw = dropfile(st.files, "r_", drop, ".KTD");
    if (c.path != raw) {
        c = CheckedDrop{};
        c.path = raw;
    }
    bool changed = false;
    if (const FileStamp now = stampof(raw); now != c.raw) {
        c.raw = now;
        c.depth.clear();
        c.t.clear();
        if (now.exists) readraw(c, drop, st, scratch());
        changed = true;
    }
    const std::string q = dropfile(st.files, "q.", drop);
    if (const FileStamp now = stampof(q); now != c.edited || changed) {
        c.edited = now;
        c.rdepth.clear();
        c.rt.clear();
        if (const EditedPoints& last = st.check.lastedited;
            now.exists && last.stamp == now && last.path == q) {
            c.rdepth = last.depth;
            c.rt = last.t;
        } else if (now.exists && rdq(FileName(q), scratch(), st.files.len_f1).ierr == 0) {
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
    const std::string e = dropfile(st.files, "e.", drop);
    if (const FileStamp now = stampof(e); now != c.avg || changed) {
        c.avg = now;
        c.edepth.clear();
        c.et.clear();
        if (now.exists && winrdfl(FileName(e), scratch(), st.files.len_f1, {}).ierr == 0)
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
void addduplicates(State& st, int drop, const DropProfile& own, std::vector<Finding>& out) {
    const StationTable& table = st.stations;
    for (int d = 1; d <= table.nlines; ++d) {
        if (d == drop) continue;
        if (sametimeandplace(table[d], table[drop])) {
            out.push_back(duplicatefinding(d, "the same date, time and position"));
            return;
        }
    }
    for (int d = 1; d <= table.nlines; ++d) {
        const CheckedDrop& c = checked(st, d);
        if (d == drop || c.path.empty() || c.t.empty()) continue;
        if (sametemperatures(own, profileof(c.depth, c.t))) {
            out.push_back(duplicatefinding(d, "the same temperatures at every point"));
            return;
        }
    }
}

std::vector<Finding> findingsof(State& st, int drop, const DropProfile& own) {
    const int r = referencedrop(st, drop);
    const int o = r > 0 ? referencedrop(st, r) : 0;
    const auto profile = [&st](int d) {
        const CheckedDrop& c = checked(st, d);
        return profileof(c.rdepth, c.rt);
    };
    const DropProfile refp = r > 0 ? profile(r) : DropProfile{};
    const DropProfile olderp = o > 0 ? profile(o) : DropProfile{};
    std::vector<Finding> f =
        prescreen(own, r > 0 ? &refp : nullptr, o > 0 ? &olderp : nullptr, st.thresholds);
    addduplicates(st, drop, own, f);
    return f;
}

}  // namespace

CheckedDrop& checked(State& st, int drop) {
    std::vector<CheckedDrop>& all = st.check.drop;
    const auto at = static_cast<std::size_t>(std::clamp(drop, 0, nstamax));
    if (at >= all.size())
        all.resize(std::max(at, static_cast<std::size_t>(std::clamp(st.stations.nlines, 0, nstamax))) + 1);
    return all[at];
}

void notedited(CruiseCheck& check, std::string path, const FileStamp& before, const SlotData& s) {
    EditedPoints& last = check.lastedited;
    last.path = std::move(path);
    last.stamp = before;
    std::tie(last.depth, last.t) = pointsof(s, acceptedlength(s));
}

Thresholds thresholdsof(const ControlSettings& cs) {
    // A limit of zero (a blank field of the older layout reads so) or of the
    // wrong sign would flag every drop of the cruise; such a limit is taken
    // as not given.
    const Thresholds d;
    const auto positive = [](float v, float fallback) { return std::isfinite(v) && v > 0 ? v : fallback; };
    Thresholds th;
    th.tdzmx = positive(cs.tdzmx, d.tdzmx);
    th.tdzrms = positive(cs.tdzrms, d.tdzrms);
    th.dtdzmn = std::isfinite(cs.dtdzmn) && cs.dtdzmn < 0 ? cs.dtdzmn : d.dtdzmn;
    th.dtdzth = positive(cs.dtdzth, d.dtdzth);
    th.dtmx = positive(cs.dtmx, d.dtmx);
    th.dtmx700 = positive(cs.dtmx700, d.dtmx700);
    th.ichkprofdepth = cs.ichkprofdepth > 0 ? cs.ichkprofdepth : d.ichkprofdepth;
    return th;
}

int referencedrop(State& st, int drop) {
    for (int d = std::min(drop, st.stations.nlines + 1) - 1; d >= 1; --d) {
        const int status = st.stations[d].istatus;
        if (status != 0 && status != 1) continue;
        CheckedDrop& c = entry(st, d);
        if (c.rt.empty()) continue;
        // The operator's word stands; a drop not yet edited stands on its own checks.
        if (status == 1 || selfgood(st, c)) return d;
    }
    return 0;
}

const std::vector<Finding>& checkcurrent(State& st) {
    const SlotData& cur = st.store[2];
    const int n = slotFailed(cur) ? 0 : clampPoints(cur.npts);
    const int drop = st.idropnum;
    const bool listed = drop >= 1 && drop <= st.stations.nlines;
    if (listed && st.files.ieditktd == 1 && n > 0) {
        // The drop as loaded is the raw profile down to its break: keep it,
        // so that the next drop's reference costs no second read.
        CheckedDrop& c = checked(st, drop);
        const std::string raw = dropfile(st.files, "r_", drop, ".KTD");
        if (c.path != raw || c.raw != stampof(raw)) {
            c = CheckedDrop{};
            c.path = raw;
            c.raw = stampof(raw);
            std::tie(c.depth, c.t) = pointsof(cur, n);
            // No real file has this stamp: its edited files are read when it is next asked for.
            c.edited = c.avg = FileStamp{true, -1, 0};
        }
    }
    st.findings = listed && n > 0 ? findingsof(st, drop, dropprofile(cur, n)) : std::vector<Finding>{};
    return st.findings;
}

const std::vector<Finding>& dropfindings(State& st, int drop) {
    static const std::vector<Finding> none;
    if (drop < 1 || drop > st.stations.nlines) return none;
    CheckedDrop& c = entry(st, drop);
    c.findings = c.t.empty() ? std::vector<Finding>{} : findingsof(st, drop, profileof(c.depth, c.t));
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

std::vector<PlotMark> findingmarks(const State& st) {
    std::vector<PlotMark> marks;
    const SlotData& cur = st.store[2];
    for (const Finding& f : st.findings) {
        if (f.point < 1 || f.point > clampPoints(cur.nread)) continue;
        const auto k = static_cast<std::size_t>(f.point);
        std::string tag = findingtag(f);
        marks.push_back({cur.t[k], cur.depth[k], tag.substr(0, 3)});
    }
    return marks;
}

std::vector<EnvelopeBin> cruiseenvelope(State& st) {
    EnvelopeSum sum;
    for (int d = 1; d <= st.stations.nlines; ++d) {
        if (st.stations[d].istatus != 1) continue;
        const CheckedDrop& c = entry(st, d, true);
        if (!c.et.empty())
            sum.add(c.edepth, c.et);
        else
            sum.add(c.rdepth, c.rt);
    }
    return sum.bins();
}

bool readcruise(State& st, std::string& why) {
    if (Outcome o = locatecruise(st); o.ends()) {
        why = "the cruise directory cannot be found from here";
        return false;
    }
    const std::string control = pathString(st.paths.acontrol);
    if (!canOpen(control)) {
        why = "no control.dat at " + control;
        return false;
    }
    ControlSettings cs = defaultcontrol();
    Log quiet;
    rdcntrl(control, cs, st.ierror, quiet);
    st.thresholds = thresholdsof(cs);
    st.len_acruise = std::clamp(cs.len_acruise, 0, 8);
    st.acruise = FixedText<13>(cs.acruise.cols(1, static_cast<std::size_t>(st.len_acruise)));
    blankDropFiles(st.files);
    if (buildTemplates(st.files, st.paths.len_dirpath, st.acruise, st.len_acruise)) {
        why = "the cruise's file names do not fit";
        return false;
    }
    const std::string list = pathString(st.paths.astations);
    std::string bytes;
    const bool read = readFileBytes(list, bytes);
    const StationFailure failure = read ? parseStations(bytes, st.stations).failure : StationFailure::Read;
    if (failure != StationFailure::None && failure != StationFailure::EndOfFile) {
        why = "cannot read the station list " + list;
        return false;
    }
    std::string journal;
    if (readFileBytes(journalPath(st.paths.astations), journal)) applyjournal(journal, st.stations);
    return true;
}

std::vector<std::string> cruisereport(State& st) {
    // Every drop is read first, so that the duplicates are found among all.
    for (int d = 1; d <= st.stations.nlines; ++d) entry(st, d);
    std::vector<std::string> lines;
    int flagged = 0;
    std::map<std::string, int> bycode;
    for (int d = 1; d <= st.stations.nlines; ++d) {
        const auto& fs = dropfindings(st, d);
        flagged += !fs.empty();
        for (const Finding& f : fs) {
            lines.push_back(reportline(d, f));
            ++bycode[std::string(f.code.view())];
        }
    }
    const std::size_t total = lines.size();
    std::string counts = std::string(st.acruise.cols(1, static_cast<std::size_t>(st.len_acruise))) + ": " +
                         std::to_string(st.stations.nlines) + " drops checked, " + std::to_string(flagged) +
                         " with findings, " + std::to_string(total) + (total == 1 ? " finding" : " findings");
    const char* sep = ": ";
    for (const auto& [code, n] : bycode) {
        counts += sep + std::to_string(n) + " " + code;
        sep = ", ";
    }
    lines.push_back(counts);
    return lines;
}

int checkcommand() {
    toolkit::setHeadless(true);
    const auto owned = std::make_unique<State>();
    std::string why;
    if (!readcruise(*owned, why)) {
        std::fprintf(stderr, "dropfix: %s\n", why.c_str());
        return 1;
    }
    for (const std::string& line : cruisereport(*owned)) std::puts(line.c_str());
    return 0;
}
