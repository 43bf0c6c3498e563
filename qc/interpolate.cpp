// The Interpolate dialog: picking the end points and the repair on OK.
#include "qc/interpolate.h"

#include <cmath>

#include "plot/depth_list.h"
#include "plot/traces.h"
#include "qc/gapint.h"
#include "qc/pick.h"

namespace {

void reshow() {
    reshowdialog(interpolatedialog);
}

// Mouse moves and the release are reported only while a drag is followed,
// so that the editor's loops are not flooded with every pointer motion.
void followdrag(int state) {
    WMessageEnable(EventType::MouseMove, state);
    WMessageEnable(EventType::MouseButUp, state);
}

// Beyond the ends of the depth scale, or outside the window, the nearest
// stored point would be the surface or the bottom of the drop, which the
// operator did not point at: such a move keeps the point last snapped to.
bool overplot(const EventRecord& e) {
    int right = 0, bottom = 0;
    WindowUnitsToPixels(9999, 9999, right, bottom);
    if (e.x < 0 || e.y < 0 || e.x > right || e.y > bottom) return false;
    return e.unitY >= plotdepthmin && e.unitY <= plotdepthmax;
}

bool missing(float x) {
    return x == -99.0f || x == 0.0f;
}

}  // namespace

void interpfields(int& imouse) {
    WDialogSelect(interpolatedialog);
    WDialogGetRadioButton(InterpolateField::mouse, imouse);
    if (imouse == 1) hidedialog(depthlistdialog);
    reshow();
}

InterpolateDialog::InterpolateDialog(EditContext& ctx) : ctx_(ctx) {
    start();
}

// Also the restart after a repair that found nothing to replace; the
// depth-list flag keeps its value then.
void InterpolateDialog::start() {
    WDialogSelect(interpolatedialog);
    WDialogPutRadioButton(InterpolateField::mouse);
    dt1_ = FixedText<7>();
    WDialogPutString(InterpolateField::firsttemp, dt1_.view());
    WDialogPutString(InterpolateField::lasttemp, dt1_.view());
    WDialogPutReal(InterpolateField::firstdepth, 0.0f);
    WDialogPutReal(InterpolateField::lastdepth, 0.0f);
    WDialogPutRadioButton(InterpolateField::section);
    WDialogPutRadioButton(InterpolateField::classbelow);
    WDialogShow(6500, 4500, 0, 2);
    for (EndPoint* end : {&first_, &last_}) {
        end->pending = true;
        end->x = -99.0f;
    }
    imouse_ = 1;
}

bool InterpolateDialog::handle(int type, const EventRecord& event) {
    switch (type) {
        case EventType::FieldChanged:
            if (event.data1 == event.data2) fieldchanged(event);
            return false;
        case EventType::MouseButDown: mousedown(event); return false;
        case EventType::MouseMove: mousemove(event); return false;
        case EventType::MouseButUp: mouseup(); return false;
        case EventType::Expose:
        case EventType::Resize: ctx_.redisplay(); return false;
        case EventType::PushButton: break;
        default: return false;  // menu commands wait until the dialog is left
    }
    if (event.source != interpolatedialog) return false;
    switch (event.data1) {
        case 1: return repair();
        case 2:
            hidedialog(interpolatedialog);
            hidedialog(depthlistdialog);
            return true;
        case InterpolateField::eraser: erasefirst(); return false;
        default: return false;
    }
}

void InterpolateDialog::fieldchanged(const EventRecord& event) {
    if (event.source == interpolatedialog) {
        interpfields(imouse_);
        if (imouse_ == 1) ialreadyshoweddep_ = 0;
    } else if (event.source == depthlistdialog) {
        listrow();
    }
    if (imouse_ == 2 && ialreadyshoweddep_ == 0) {
        disp(first_.ind, ctx_.store[2], ctx_.store[4].npts);
        ialreadyshoweddep_ = 1;
    }
}

// A row of the depth list commits its point at once, to the first point
// while that is pending and to the last point otherwise.
void InterpolateDialog::listrow() {
    int r = 0;
    WDialogSelect(depthlistdialog);
    WDialogGetMenu(depthlistfield, r);
    if (r < 1 || r > clampPoints(ctx_.store[4].npts)) return;  // nothing selected
    EndPoint& end = picking();
    showpoint(end, r);
    end.x = std::abs(ctx_.store[2].depth[static_cast<std::size_t>(r)]);
    end.ind = r;
    end.pending = false;
    reshow();
}

void InterpolateDialog::mousedown(const EventRecord& event) {
    int iflag = 0, ind = 0;
    float y = 0;
    if (!mouseydown(imouse_, event, dt1_, ctx_.store[2], ctx_.store[4].npts, iflag, y, ind)) return;
    point_ = ind;
    y_ = y;
    showpoint(picking(), ind);
    reshow();
}

void InterpolateDialog::mousemove(const EventRecord& event) {
    if (!overplot(event)) return;
    float y = event.unitY;
    const auto k = getindex(y, ctx_.store[2], ctx_.store[4].npts);
    if (!k) return;
    point_ = *k;
    y_ = y;
    showpoint(picking(), *k);
    if (first_.pending) WDialogPutString(InterpolateField::lasttemp, "      ");
    reshow();
}

// The release commits the point the drag ended on. Once both points are
// chosen a further drag only shows where it went.
void InterpolateDialog::mouseup() {
    if (point_ && (first_.pending || last_.pending)) {
        EndPoint& end = picking();
        end.x = std::abs(y_);
        end.ind = *point_;
        end.pending = false;
    }
    followdrag(0);
}

void InterpolateDialog::erasefirst() {
    WDialogSelect(interpolatedialog);
    WDialogPutReal(InterpolateField::firstdepth, 0.0f);
    first_.x = -99.0f;
    first_.pending = true;
    dt1_ = FixedText<7>();
    WDialogPutString(InterpolateField::firsttemp, dt1_.view());
    reshow();
}

// The depth (positive) and temperature of point i in the fields of an end.
void InterpolateDialog::showpoint(const EndPoint& end, int i) {
    const SlotData& cur = ctx_.store[2];
    dt1_ = dt1text(cur, i);
    WDialogSelect(interpolatedialog);
    WDialogPutReal(end.depthfield, -cur.depth[static_cast<std::size_t>(i)]);
    WDialogPutString(end.tempfield, dt1_.view());
}

bool InterpolateDialog::repair() {
    if (missing(first_.x) || missing(last_.x)) {
        WMessageBox(0, 3, 1, "I need a first and last depth for interpolation", "Error Info");
        return false;
    }
    WDialogSelect(interpolatedialog);
    int interpqc = 1, below = 1;
    WDialogGetRadioButton(InterpolateField::section, interpqc);
    WDialogGetRadioButton(InterpolateField::classbelow, below);
    const QcCode code = sectioncode(interpqc).value_or(QcCode("SP"));
    const int iclassbelow = below == 2 ? 3 : 2;
    hidedialog(interpolatedialog);
    hidedialog(depthlistdialog);

    SlotData& cur = ctx_.store[2];
    drawline(ctx_.colours, ctx_.store[4], ctx_.store[4].npts, 4, ctx_.ilinewidth);
    if (last_.ind > cur.npts) extendtofull();
    if (!gapint(first_.ind, last_.ind, cur, cur.npts)) {
        // Slot 4 has just been drawn over the whole trace in its colours;
        // the operator must see the profile as it stands while choosing anew.
        drawline(ctx_.colours, cur, cur.npts, 2, ctx_.ilinewidth);
        start();
        return false;
    }
    flagrepair(cur, first_.ind, last_.ind, cur.npts, code, iclassbelow);
    drawline(ctx_.colours, cur, cur.npts, 2, ctx_.ilinewidth);
    return true;
}

// A last point below the cut: the repair works on the whole loaded drop,
// and the cut moves to its last stored point. The length is the stored
// one, npts(4): npts4 is the count above the cut once a cut has been
// confirmed, and stays so when the write after it failed.
void InterpolateDialog::extendtofull() {
    const int n4 = clampPoints(ctx_.store[4].npts);
    if (n4 < 1) return;
    SlotData& cur = ctx_.store[2];
    cur.npts = n4;
    movecut(ctx_.cut, -cur.depth[static_cast<std::size_t>(n4)]);
}

void interpolate(EditContext& ctx) {
    InterpolateDialog dialog(ctx);
    for (;;) {
        int type = 0;
        EventRecord event;
        ctx.wait(type, event);
        if (ctx.viewevent && ctx.viewevent(type, event)) continue;
        if (dialog.handle(type, event)) break;
    }
    followdrag(0);
}
