// The --check command: the cruise opened quietly, then every drop's findings.
#include "app/check_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/cruise_check.h"
#include "app/startup.h"
#include "app/startup_checks.h"
#include "base/atomic_file.h"
#include "toolkit/session.h"

bool readcruise(State& st, std::string& why) {
    if (Outcome o = locatecruise(st); o.ends()) {
        why = "the cruise directory cannot be found from here";
        return false;
    }
    const std::string control = pathString(st.paths.acontrol);
    if (!canOpen(control)) {
        const auto r = unreadable(control);
        why = r && !r->missing ? r->reason : "no control.dat at " + control;
        return false;
    }
    ControlSettings cs = defaultcontrol();
    Log quiet;
    std::string detail;
    rdcntrl(control, cs, st.ierror, quiet, &detail);
    // The report ends wherever the editor would.
    if (st.ierror[15] == 1 || st.ierror[16] == 1) {
        why = detail.empty() ? "cannot read " + control + ": it ends within its first three lines" : detail;
        return false;
    }
    st.thresholds = thresholdsof(cs);
    st.len_acruise = std::clamp(cs.len_acruise, 0, 8);
    st.acruise = FixedText<13>(cs.acruise.cols(1, static_cast<std::size_t>(st.len_acruise)));
    if (const auto problem =
            cruisenameproblem(st.acruise.cols(1, static_cast<std::size_t>(st.len_acruise)))) {
        why = "the cruise name in " + control + " holds " + *problem + ", so it cannot begin a file name";
        return false;
    }
    blankDropFiles(st.files);
    if (buildTemplates(st.files, st.paths.len_dirpath, st.acruise, st.len_acruise)) {
        why = "the cruise's file names do not fit";
        return false;
    }
    const std::string list = pathString(st.paths.astations);
    std::string bytes;
    if (const ReadResult r = readRegularFile(list, bytes); !r) {
        why = "cannot read the station list: " + r.reason;
        return false;
    }
    const StationRead r = parseStations(bytes, st.stations);
    if (r.failure != StationFailure::None) {
        why = stationfailurewords(r, list);
        return false;
    }
    std::string journal;
    if (readRegularFile(journalPath(st.paths.astations), journal, 64u << 20, Links::Refuse))
        applyjournal(journal, st.stations);
    return true;
}

int checkcommand() {
    toolkit::setHeadless(true);
    const auto owned = std::make_unique<State>();
    State& st = *owned;
    std::string why;
    if (!readcruise(st, why)) {
        std::fprintf(stderr, "dropfix: %s\n", why.c_str());
        return 1;
    }
    const auto cruise = st.acruise.cols(1, static_cast<std::size_t>(st.len_acruise));
    int unread = 0;
    for (const std::string& line : cruisereport(checkparts(st), cruise, &unread)) std::puts(line.c_str());
    // A drop that could not be read was not checked: the report is not a pass.
    return unread > 0 ? 1 : 0;
}
