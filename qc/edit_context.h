// What the QC and Interpolate dialogs work on while they run: the profile
// store, the cut state, the plot's colours and line width for the traces
// they redraw, their full redraw for Expose and Resize, and their event
// source. The caller owns all of it; a test hands in a queue of events and
// a redraw that counts.
#pragma once
#include <functional>

#include "plot/plot_options.h"
#include "plot/plot_settings.h"
#include "profile/profile_store.h"
#include "qc/cut.h"

// Both dialogs hide and re-show their own dialog and the depth list:
// select it, then hide it or bring it to the front where it stands.
inline void hidedialog(int id) {
    WDialogSelect(id);
    WDialogHide();
}
inline void reshowdialog(int id) {
    WDialogSelect(id);
    WDialogShow();
}

struct EditContext {
    ProfileStore& store;
    CutState& cut;
    const PlotColours& colours;
    int ilinewidth = 1;
    std::function<void()> redisplay;  // the full redraw of the plot
    MessageWait wait = WMessage;      // the event source
    // The keys and the Ctrl wheel that move the depth view; true when the
    // event was one of them (and the plot redrawn). May be empty.
    std::function<bool(int, const EventRecord&)> viewevent = {};
};
