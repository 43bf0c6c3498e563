// The --check command: the cruise opened quietly, then every drop's findings.
#include "app/check_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/cruise_check.h"
#include "app/startup.h"
#include "base/atomic_file.h"
#include "toolkit/session.h"

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
    for (const std::string& line : cruisereport(checkparts(st), cruise)) std::puts(line.c_str());
    return 0;
}
