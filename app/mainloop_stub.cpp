// FIXME: a stand-in main loop until the drop display exists. It serves
// Exit and the close box, which write the station list back and end the
// program; every other event is dropped.
#include "app/opening.h"
#include "toolkit/toolkit.h"

Outcome mainloop(State& st) {
    for (;;) {
        int type = 0;
        EventRecord event;
        WMessage(type, event);
        const bool exitChosen = type == EventType::MenuSelect && event.data1 == 40007;
        if (exitChosen || type == EventType::CloseRequest) {
            return exitrewrite(st.paths.astations, st.stations, st.mainLog, 0);
        }
    }
}
