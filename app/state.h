// The one program-wide state: paths, logs, cruise settings, the station
// table, the profile store, the cut state and what was read of the drop
// files live here for the whole run. Commands take the whole State: the
// start-up, the main loop and what it dispatches, the drop loading, the
// overview's panel and --check. Queries take only the parts they read, and
// the modules whose types the state holds never see the state itself (no
// module of app/ includes one that includes it back).
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/control.h"
#include "app/cruise_check.h"
#include "app/cruise_lock.h"
#include "app/drop_cache.h"
#include "app/drop_files.h"
#include "app/log.h"
#include "app/overview_rows.h"
#include "app/paths.h"
#include "app/stations.h"
#include "base/fixed_text.h"
#include "plot/plot_settings.h"
#include "profile/profile_store.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/prescreen.h"
#include "qc/qc_dialog.h"

// Fall-rate coefficients handed to the raw drop file reader: exactly these
// 32-bit values (bit patterns 40CF1AA0 and 3B0D8ECA).
struct FallRate {
    float a = 6.472f;
    float b = 0.0021600001491606236f;
};

struct State {
    // Start-up: where the cruise files are, and its diagnostics.
    Paths paths;
    ErrorFlags ierror{};
    FallRate fallrate;

    // The cruise is this editor's alone while the lock is held.
    CruiseLock lock;

    // Logs: dropfix-start.log in the working directory, dropfix.log in the
    // cruise directory.
    Log startLog;
    Log mainLog;

    // Cruise settings from control.dat.
    FixedText<13> acruise;
    int len_acruise = 0;

    // Plot settings: tmin and tmax from control.dat, the rest from the Plot
    // range dialog. The colour table is built when the main window opens.
    PlotSettings plot;
    PlotColours colours;

    // Drop files and the drops being shown, and what was read of any drop's
    // files: a drop read as the next drop comes up as the current one one
    // write later, and the overview and the pre-screen read every drop.
    DropFiles files;
    DropCache cache;
    StationTable stations;
    int idropnum = 0;  // the drop being edited
    int inext = 0;     // idropnum + 1
    int i9 = 0;        // set once the current profile has been written

    // Profiles and the edit of the current drop.
    ProfileStore store;
    CutState cut;
    FixedText<87> ahdr;  // header of the current drop, stored in every edited file
    int inextok = 0;

    // What the QC dialog keeps between its events and its runs.
    QcDialogState qcstate;

    // ---- Drop loading and commands ----
    // How slots 1 to 3 were loaded: 'q' from the edited file, 'r' from the
    // unedited one (slot 2 always 'r'); index 0 unused.
    std::array<char, 4> ftype{' ', ' ', ' ', ' '};

    // The cruise overview: what was read from each drop's files, kept for
    // the run so that each raw file is read once.
    Overview overview;

    // The pre-screen: its thresholds (seven of them from control.dat), what
    // it read of each drop, and what it found on the current drop when the
    // drop was loaded.
    Thresholds thresholds;
    CruiseCheck check;
    std::vector<Finding> findings;
};

// The pre-screen's parts of the state.
inline CheckParts checkparts(State& st) {
    return CheckParts{st.check, st.cache, st.stations, st.files, st.thresholds};
}
