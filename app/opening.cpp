// The opening: station list, drop choice, the main window, the main loop.
#include "app/opening.h"

#include "app/mainloop.h"
#include "app/startup.h"

Outcome opening(State& st) {
    if (Outcome o = openmain(st); o.ends()) return o;
    return mainloop(st);
}

Outcome run(State& st) {
    if (Outcome o = startup(st); o.ends()) return o;
    return opening(st);
}
