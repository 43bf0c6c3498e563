// The opening: station list, drop choice, the main window, the main loop.
#include "app/opening.h"

#include "app/startup.h"
#include "toolkit/toolkit.h"

Outcome opening(State& st) {
    if (Outcome o = readStations(st.paths.astations, st.stations, st.startLog, st.mainLog); o.ends()) return o;
    choosedrop(st.stations, st.files, st.idropnum, st.inext);
    WindowClose();
    WindowRecord w;
    w.flags = WinStyle::SysMenu | WinStyle::MinButton | WinStyle::MaxButton | WinStyle::StatusBar;
    w.menu = 30001;
    w.title = windowtitle(st.acruise, st.len_acruise);
    WindowOpen(w);
    return mainloop(st);
}

Outcome run(State& st) {
    if (Outcome o = startup(st); o.ends()) return o;
    return opening(st);
}
