// The Interpolate dialog (103): the operator picks a first and a last good
// point of the current profile, by dragging the mouse in the plot or from
// the depth list, and OK replaces the points between them by a straight
// line, flags them class 5 with the section code and floors the classes of
// the data below.
#pragma once
#include <optional>

#include "base/fixed_text.h"
#include "qc/edit_context.h"
#include "toolkit/toolkit.h"

inline constexpr int interpolatedialog = 103;

namespace InterpolateField {
constexpr int mouse = 1009, firstdepth = 1030, firsttemp = 1031, eraser = 2001, lastdepth = 1024,
              lasttemp = 1032, section = 1011, classbelow = 1062;
}

// Reads the selection mode of dialog 103 into imouse (1 mouse, 2 depth
// list); in mouse mode the depth list goes away. Re-shows dialog 103.
void interpfields(int& imouse);

// One run of the dialog, fed one event at a time, so that a drag step can
// be timed and tested on its own. Constructing it shows the dialog.
class InterpolateDialog {
public:
    explicit InterpolateDialog(EditContext& ctx);
    // True once the dialog is gone: a repair was made or Cancel pressed.
    bool handle(int type, const EventRecord& event);

private:
    // An end point of the repair: chosen once `pending` is false.
    struct EndPoint {
        bool pending = true;
        float x = -99.0f;  // positive depth; -99 while not chosen
        int ind = 0;
        int depthfield = 0, tempfield = 0;
    };

    void start();
    void fieldchanged(const EventRecord& event);
    void listrow();
    void mousedown(const EventRecord& event);
    void mousemove(const EventRecord& event);
    void mouseup();
    void erasefirst();
    bool repair();
    void extendtofull();
    // The end point that a pick goes to: the first while it is pending.
    EndPoint& picking() { return first_.pending ? first_ : last_; }
    void showpoint(const EndPoint& end, int index);

    EditContext& ctx_;
    EndPoint first_{.depthfield = InterpolateField::firstdepth, .tempfield = InterpolateField::firsttemp};
    EndPoint last_{.depthfield = InterpolateField::lastdepth, .tempfield = InterpolateField::lasttemp};
    int imouse_ = 1;
    int ialreadyshoweddep_ = 0;
    FixedText<7> dt1_;
    std::optional<int> point_;  // the point the pointer last snapped to
    float y_ = 0;               // its stored depth
};

// The Interpolate command: runs the dialog until it is left. The profile
// changes only through OK.
void interpolate(EditContext& ctx);
