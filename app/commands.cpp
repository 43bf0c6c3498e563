// Cut, Write, Bad, TP and their common ending; Restart.
#include "app/commands.h"

#include <string>

#include "app/droploading.h"
#include "app/overview.h"
#include "app/startup_checks.h"
#include "base/fields.h"
#include "profile/edited_files.h"
#include "qc/checks.h"
#include "qc/cut.h"
#include "toolkit/toolkit.h"

namespace {

// The operator must know that the drop is not stored, and why: the command
// stops here, so the status is not set and the edits stay on the screen.
bool reportwrite(const EditedWrite& w, const PathText& name, Log& log) {
    if (w.ok) return true;
    reporterror(log, "Error writing " + pathString(name) + ": " + w.reason);
    return false;
}

// The name of the e file written beside the q file, for the message.
PathText efilename(const DropFiles& files) {
    PathText e = files.f2q;
    e.set(static_cast<std::size_t>(files.len_f1) + 1, 'e');
    return e;
}

std::string filenameof(const PathText& name) {
    const std::string path = pathString(name);
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string dropword(const DropFiles& f) {
    return "Drop " + std::string(namedigits(f.f2r, f.len_f1));
}

}  // namespace

std::string storedword(const DropFiles& f, int status, const SlotData& cur, int n) {
    const char* as = status == -1 ? "bad" : status == -4 ? "test probe" : "accepted";
    n = clampPoints(n);
    int k = 1;
    while (k <= n && cur.iclass[static_cast<std::size_t>(k)] != 4) ++k;
    std::string bad = "no class 4";
    if (k == 1) bad = "class 4 from the surface";
    if (k > 1 && k <= n) {
        const std::string d = writeF(-cur.depth[static_cast<std::size_t>(k - 1)], 8, 3);
        bad = "class 4 below " + d.substr(d.find_first_not_of(' ')) + " m";
    }
    const std::string files = f.ieditktd == 2
                                  ? filenameof(f.f2q) + " written"
                                  : filenameof(f.f2q) + " and " + filenameof(efilename(f)) + " written";
    return dropword(f) + " stored as " + as + ": " + std::to_string(n) + " points, " + bad + "; " + files;
}

int statusfromcode(const QcCode& code) {
    if (code == "TP") return -4;
    if (code == "NG") return -1;
    return 1;
}

Outcome cutwrite(State& st) {
    st.cut.npts4 = confirmcut(st.cut.xdbr, st.store[2], st.store[4].npts);
    return commonending(st, statusfromcode(st.store[2].code[1]));
}

Outcome bad(State& st) {
    st.store[2].iclass[1] = 4;
    st.store[2].code[1] = QcCode("NG");
    return commonending(st, -1);
}

Outcome tp(State& st) {
    st.store[2].iclass[1] = 4;
    st.store[2].code[1] = QcCode("TP");
    return commonending(st, -4);
}

bool writecurrent(State& st) {
    SlotData& cur = st.store[2];
    const SlotData& loaded = st.store[4];
    const int n = loaded.npts;
    const DropFiles& f = st.files;
    // A drop whose file could not be read has no point to store: writing it
    // would replace an earlier edit of the drop with an empty file and record
    // the drop as done.
    if (n <= 0) {
        const std::string raw = pathString(f.f2r);
        const EditedWrite none{
            0, false,
            "no profile of this drop was read from " + raw + " (" + unreadreason(raw, st.len_acruise) + ")"};
        return reportwrite(none, f.f2q, st.mainLog);
    }
    if (f.ieditktd == 2) return reportwrite(wfl(f.f2q, n, cur, loaded, st.ahdr), f.f2q, st.mainLog);
    const EditedPairWrite w = writeqande(f.f2q, cur, loaded, n, st.ahdr, f.len_f1);
    return reportwrite(w, w.efailed ? efilename(f) : f.f2q, st.mainLog);
}

Outcome commonending(State& st, int status) {
    SlotData& cur = st.store[2];
    const int n = st.store[4].npts;
    checkclass(cur, n);
    if (checkcode(cur, n) != 0) {
        WindowStatusText(dropword(st.files) + " not stored: too many HB codes, redo the edits");
        return droploading(st, LoadEntry::Reload);
    }
    if (!writecurrent(st)) {
        WindowStatusText(dropword(st.files) + " not stored: its files could not be written");
        return Outcome::proceed();
    }
    WindowStatusText(storedword(st.files, status, cur, n));
    putDropDigits(st.files, DropSlot::Previous, namedigits(st.files.f2r, st.files.len_f1));
    updatestatus(st.stations, st.idropnum, status);
    journalstatus(st.paths.astations, st.stations, st.idropnum, st.mainLog);
    refreshoverview(st, st.idropnum);
    st.i9 = 1;
    return droploading(st, LoadEntry::Choose);
}

void restart(State& st) {
    WMessageBox(1, 2, 1, "This will lose all edits on this profile!", "Information!");
    if (WInfoDialog(4) == 1) {
        restorecurrent(st.store);
        breakdetect(st.store, st.cut, st.files.ieditktd);
    }
    redraw(st);
}
