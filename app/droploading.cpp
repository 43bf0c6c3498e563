// The drop-loading step: previous drop into slot 1, next drop into slot 3,
// the current drop into slots 2 and 4, each drawn as it arrives.
#include "app/droploading.h"

#include "app/overview.h"
#include "app/startup_checks.h"
#include "app/summary.h"
#include "base/fields.h"
#include "plot/axes.h"
#include "plot/redisplay.h"
#include "plot/traces.h"
#include "profile/edited_files.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "toolkit/toolkit.h"

namespace {

LogRecord mainlogsink(Log& log) {
    return [&log](std::string_view label, std::string_view value) {
        if (value.empty()) {
            log.record(label);
        } else {
            log.record(label, value);
        }
        log.flush();
    };
}

// A slot about to be loaded starts empty, so that a reader that fails
// leaves no points of an earlier drop behind under this drop's name.
void emptyslot(SlotData& s) {
    s.nread = 0;
    s.npts = 0;
}

// The unedited file into a slot, through the cache: the raw file, or the
// two-metre file. A read taken from the cache leaves the same log records
// as a read of the file. Returns the raw header (blank for two-metre files).
RawHeader loadunedited(State& st, const PathText& name, int slot) {
    SlotData& s = st.store[slot];
    emptyslot(s);
    const LogRecord log = mainlogsink(st.mainLog);
    const std::string path = pathString(name);
    if (st.files.ieditktd == 1) {
        const auto raw = st.cache.raw(path, st.files.len_f1, st.fallrate.a, st.fallrate.b);
        replay(raw->log, log);
        return putraw(*raw, slot, st.store);
    }
    const auto edited = st.cache.edited(path, st.files.len_f1, EditedLayout::TwoMetre);
    replay(edited->log, log);
    putedited(*edited, s);
    return RawHeader{};
}

void loadedited(State& st, const PathText& name, int slot) {
    SlotData& s = st.store[slot];
    emptyslot(s);
    const EditedLayout layout = st.files.ieditktd == 1 ? EditedLayout::Full : EditedLayout::TwoMetre;
    const auto edited = st.cache.edited(pathString(name), st.files.len_f1, layout);
    replay(edited->log, mainlogsink(st.mainLog));
    putedited(*edited, s);
}

// Slot 1 or 3 from the file of the given type; an unedited drop starts with
// no class and no code, an edited one keeps what its file holds.
void loadneighbour(State& st, int slot, char type, const PathText& rname, const PathText& qname, int drop) {
    SlotData& s = st.store[slot];
    st.ftype[static_cast<std::size_t>(slot)] = type;
    if (type == 'r') {
        loadunedited(st, rname, slot);
        writeinfoesedit(s.ainfo, st.stations, drop);
        clearqc(s, s.nread);
    } else {
        loadedited(st, qname, slot);
        writeinfoesedit(s.ainfo, st.stations, drop);
    }
    s.npts = clampPoints(s.nread);
}

void drawslot(const State& st, int slot, int colour, const SlotData& data, int n) {
    plotcaption(st.plot, colour, slot, st.store[slot].ainfo);
    if (!slotFailed(st.store[slot])) drawline(st.colours, data, n, slot == 2 ? 4 : slot, st.plot.ilinewidth);
}

// After a write: the next drop of the list becomes the current one.
// False when the list has been passed.
bool advance(State& st) {
    ++st.idropnum;
    if (st.idropnum > st.stations.nlines) return false;
    putDropDigits(st.files, DropSlot::Current, st.stations[st.idropnum].alines.cols(2, 4));
    st.inext = st.idropnum + 1;
    if (st.inext <= st.stations.nlines) {
        putDropDigits(st.files, DropSlot::Next, st.stations[st.inext].alines.cols(2, 4));
    }
    return true;
}

// From the start-up or New: a drop beyond the list, or drop 1,
// starts the editing at drop 1 with no previous drop.
void startdrop(State& st) {
    if (st.idropnum > st.stations.nlines || st.idropnum <= 1) {
        st.idropnum = 1;
        putDropDigits(st.files, DropSlot::Previous, "000");
        putDropDigits(st.files, DropSlot::Current, "001");
        putDropDigits(st.files, DropSlot::Next, "002");
        // Without this a number above the list would leave inext beyond it
        // and drop 2 would not be shown beside drop 1.
        st.inext = 2;
    }
}

void loadprevious(State& st) {
    if (namedigits(st.files.f1r, st.files.len_f1) == "000") return;
    const std::string edited = pathString(st.files.f1q);
    notregulardrop(edited, st.mainLog);
    const char type = canOpen(edited) ? 'q' : 'r';
    if (type == 'r') notregulardrop(pathString(st.files.f1r), st.mainLog);
    loadneighbour(st, 1, type, st.files.f1r, st.files.f1q,
                  dropnumber(namedigits(st.files.f1r, st.files.len_f1)));
    if (st.plot.ihideprev != 1) drawslot(st, 1, st.colours.icolprev, st.store[1], st.store[1].npts);
}

void loadnext(State& st) {
    st.inextok = 0;
    if (st.inext > st.stations.nlines) return;
    char type = 'q';
    notregulardrop(pathString(st.files.f3q), st.mainLog);
    if (!canOpen(pathString(st.files.f3q))) {
        notregulardrop(pathString(st.files.f3r), st.mainLog);
        if (!canOpen(pathString(st.files.f3r))) return;
        type = 'r';
    }
    st.inextok = 1;
    loadneighbour(st, 3, type, st.files.f3r, st.files.f3q, st.idropnum + 1);
    if (st.plot.ihidenext != 1) drawslot(st, 3, st.colours.icolnext, st.store[3], st.store[3].npts);
}

Ahdr headerof(const StationTable& table, int drop, const RawHeader& hdr) {
    if (drop < 1 || drop > nstamax) return composeahdr(StationFields{}, hdr);
    const StationLine& l = table[drop];
    StationFields f{l.adropno.view(), l.alat.view(),  l.alon.view(),
                    l.aflag.at(1),    l.adate.view(), l.atime.view()};
    return composeahdr(f, hdr);
}

void loadcurrent(State& st) {
    SlotData& cur = st.store[2];
    st.ftype[2] = 'r';
    notregulardrop(pathString(st.files.f2r), st.mainLog);
    const RawHeader hdr = loadunedited(st, st.files.f2r, 2);
    writeinfoesedit(cur.ainfo, st.stations, st.idropnum);
    clearqc(cur, cur.nread);
    st.ahdr = headerof(st.stations, st.idropnum, hdr);
    cur.npts = clampPoints(cur.nread);
    backupcurrent(st.store);
    drawslot(st, 2, st.colours.icolcur, st.store[4], cur.npts);
    breakdetect(st.store, st.cut, st.files.ieditktd);
    WindowOutString(100, 9850, st.cut.mess0.view());
    if (!slotFailed(cur)) drawline(st.colours, cur, cur.npts, 2, st.plot.ilinewidth);
}

}  // namespace

void breakdetect(ProfileStore& store, CutState& cut, int ieditktd) {
    SlotData& cur = store[2];
    cut.npts4 = clampPoints(cur.npts);
    const WireBreak w = fndbrk(cur, cut.npts4, ieditktd);
    cut.npbr = w.npbr;
    cut.xdbr = w.xdbr;
    cur.npts = clampPoints(w.npbr);
    cut.mess0 = composemess0(cut.xdbr);
}

int dropnumber(std::string_view digits) {
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string_view namedigits(const PathText& name, int len_f1) {
    const auto at = static_cast<std::size_t>(len_f1 < 0 ? 0 : len_f1);
    return name.cols(at + 3, at + 5);
}

void resettemplates(DropFiles& files, int ieditktd) {
    const auto at = static_cast<std::size_t>(files.len_f1) + 1;
    const std::string_view unedited = ieditktd == 2 ? "s.000    " : "r_000.KTD";
    const std::string_view edited = ieditktd == 2 ? "e.000" : "q.000";
    for (PathText* p : {&files.f1r, &files.f2r, &files.f3r}) p->put(at, unedited);
    for (PathText* p : {&files.f1q, &files.f2q, &files.f3q}) p->put(at, edited);
}

void redraw(State& st) {
    const std::vector<PlotMark> marks = findingmarks(st.findings, st.store[2]);
    const std::span<const EnvelopeBin> band = st.check.envelopeon
                                                  ? std::span<const EnvelopeBin>(st.check.envelope)
                                                  : std::span<const EnvelopeBin>();
    redisplay(st.plot, st.files.f1r.view(), st.files.len_f1, st.store, st.cut.mess0.view(), st.inextok,
              st.colours, PlotOverlay{band, marks});
}

const std::vector<Finding>& checkcurrent(State& st) {
    const SlotData& cur = st.store[2];
    const int n = slotFailed(cur) ? 0 : clampPoints(cur.npts);
    st.findings = currentfindings(checkparts(st), cur, n, st.idropnum);
    return st.findings;
}

Outcome droploading(State& st, LoadEntry entry) {
    if (entry == LoadEntry::Choose) {
        if (st.i9 == 1) {
            if (!advance(st))
                return announceexit(exitrewrite(st.paths.astations, st.stations, st.mainLog, 0),
                                    st.acruise.view(), st.stations);
        } else {
            startdrop(st);
        }
    }
    st.colours.icolprev = st.colours(1);
    st.colours.icolcur = st.colours(4);
    st.colours.icolnext = st.colours(7);
    drawbackground(st.plot, st.colours);
    clipplot(st.plot);
    if (st.check.envelopeon) {
        st.check.envelope = cruiseenvelope(checkparts(st));
        drawenvelope(st.check.envelope);
    }
    loadprevious(st);
    loadnext(st);
    loadcurrent(st);
    checkcurrent(st);
    const std::vector<PlotMark> marks = findingmarks(st.findings, st.store[2]);
    drawmarks(st.plot, marks);
    if (WPanelShown()) shownotes(st.findings, st.idropnum);
    return Outcome::proceed();
}
