// qcinit, qcfields and qc: the QC dialog's fields and its state machine.
#include "qc/qc_dialog.h"

#include <cmath>
#include <initializer_list>
#include <string_view>

#include "plot/depth_list.h"
#include "plot/traces.h"
#include "qc/pick.h"
#include "qc/qccode.h"
#include "qc/surface_edits.h"
#include "toolkit/toolkit.h"

namespace {

using namespace QcField;

constexpr int kEnabled = 1, kDisabled = 0;

void fieldstate(std::initializer_list<int> fields, int state) {
    for (int f : fields) WDialogFieldState(f, state);
}

void putprompts(std::string_view l1, std::string_view l2, std::string_view l3) {
    WDialogPutString(prompt1, FixedText<30>(l1).view());
    WDialogPutString(prompt2, FixedText<30>(l2).view());
    WDialogPutString(prompt3, FixedText<30>(l3).view());
}

void blanktemperature() {
    WDialogPutString(temperature, FixedText<7>().view());
}

// The start-point fields dimmed, as for a surface code or no code at all.
void dimstartpoint() {
    WDialogPutString(modenote, "(Disabled)");
    blanktemperature();
    fieldstate({usemouse, choosedepth, modenote, heading, startpoint, depth, temperature}, kDisabled);
}

void reshow() {
    reshowdialog(qcdialog);
}

// A start point the loaded profile holds: 1..npts(4) of the current drop.
bool holds(const ProfileStore& store, int ind) {
    return ind >= 1 && ind <= clampPoints(store[4].npts);
}

// The chosen point into the start-point fields of dialog 106.
void showstartpoint(const SlotData& cur, int ind, QcDialogState& s) {
    s.dt1 = dt1text(cur, ind);
    WDialogSelect(qcdialog);
    WDialogPutReal(depth, -cur.depth[static_cast<std::size_t>(ind)]);
    WDialogPutString(temperature, s.dt1.view());
    reshow();
}

void showdepthlist(const EditContext& ctx, int row) {
    disp(row, ctx.store[2], ctx.store[4].npts);
}

enum class QcState { Waiting, Arming, Surface, Depth };

// The loop's transitions; each handler returns the state to go to.
class QcDialog {
public:
    QcDialog(EditContext& ctx, QcDialogState& s) : ctx_(ctx), s_(s) {}

    void run(const QcPreset& preset) {
        WDialogSelect(qcdialog);
        s_.ialreadyshoweddep = 0;
        s_.iuser_set_ind1 = 0;
        s_.dt1 = FixedText<7>();
        s_.iqc = 0;
        s_.imouse = 1;
        s_.ind1 = 1;
        QcState state = startfrom(preset);
        for (;;) {
            if (state == QcState::Arming) {
                state = arm();
                continue;
            }
            int type = 0;
            EventRecord e;
            ctx_.wait(type, e);
            if (type == EventType::Expose || type == EventType::Resize) {
                ctx_.redisplay();
                continue;
            }
            if (ctx_.viewevent && ctx_.viewevent(type, e)) continue;
            if (isbutton(type, e, exitqc)) {
                if (state == QcState::Depth) hidedialog(depthlistdialog);
                hidedialog(qcdialog);
                return;
            }
            state = handle(state, type, e);
        }
    }

private:
    // The code's button turned on and its point picked, as if the operator
    // had chosen both; Apply or another choice is still theirs.
    QcState startfrom(const QcPreset& preset) {
        const auto entry = qcentry(preset.index);
        if (!entry) return QcState::Waiting;
        WDialogPutRadioButton(entry->id);
        qcfields(s_.imouse, s_.iqc, s_.isurface, s_.codey);
        refusesecondsurface();
        if (s_.iqc == 0) return QcState::Waiting;
        const bool picked = s_.isurface == 1 && holds(ctx_.store, preset.point);
        if (picked) {
            s_.ind1 = preset.point;
            s_.iuser_set_ind1 = 1;
        }
        const QcState state = arm();
        if (picked && state == QcState::Depth) {
            const SlotData& cur = ctx_.store[2];
            showstartpoint(cur, s_.ind1, s_);
            s_.startdepth = std::fabs(cur.depth[static_cast<std::size_t>(s_.ind1)]);
        }
        return state;
    }

    static bool isbutton(int type, const EventRecord& e, int id) {
        return type == EventType::PushButton && e.source == qcdialog && e.data1 == id;
    }
    static bool ischange(int type, const EventRecord& e, int source) {
        return type == EventType::FieldChanged && e.data1 == e.data2 && e.source == source;
    }

    QcState handle(QcState state, int type, const EventRecord& e) {
        switch (state) {
            case QcState::Waiting:
                if (type == EventType::FieldChanged && e.data1 == e.data2) {
                    qcfields(s_.imouse, s_.iqc, s_.isurface, s_.codey);
                    // The first code of a run is checked too: otherwise a
                    // second surface code, or a second PL that shifts the
                    // profile again, would pass when the dialog reopens.
                    refusesecondsurface();
                    if (s_.iqc != 0) return QcState::Arming;
                }
                return state;
            case QcState::Surface:
                if (isbutton(type, e, apply)) return applycode();
                if (ischange(type, e, qcdialog)) return codechange(state);
                return state;
            case QcState::Depth: return depthevent(type, e);
            case QcState::Arming: break;
        }
        return state;
    }

    // Chooses the start point for the code just chosen or applied.
    QcState arm() {
        if (s_.iuser_set_ind1 != 1) s_.ind1 = s_.codey == "WB" ? ctx_.cut.npbr : 1;
        s_.codey1 = s_.codey;
        if (s_.isurface == 0) {
            hidedialog(depthlistdialog);
            WDialogSelect(qcdialog);
            s_.ialreadyshoweddep = 0;
            s_.startdepth = 1.0f;
            return QcState::Surface;
        }
        s_.startdepth = nostartdepth;
        if (s_.ialreadyshoweddep == 0 && (s_.imouse == 2 || s_.codey == "CS")) {
            s_.ialreadyshoweddep = 1;
            showdepthlist(ctx_, s_.ind1);
        }
        return QcState::Depth;
    }

    QcState depthevent(int type, const EventRecord& e) {
        if (isbutton(type, e, apply)) return applycode();
        if (type == EventType::MouseButDown) return mousepick(e);
        const bool fromqc = ischange(type, e, qcdialog);
        const bool fromlist = ischange(type, e, depthlistdialog);
        if (!fromqc && !fromlist) return QcState::Depth;
        if (fromqc) {
            if (QcState next = codechange(QcState::Depth); next != QcState::Depth) return next;
        } else {
            listpick();
        }
        if (s_.imouse == 2 && s_.ialreadyshoweddep == 0) {
            s_.ialreadyshoweddep = 1;
            showdepthlist(ctx_, s_.ind1);
        }
        return QcState::Depth;
    }

    // A row of the depth list is the start point.
    void listpick() {
        int r = 0;
        WDialogSelect(depthlistdialog);
        WDialogGetMenu(depthlistfield, r);
        WDialogSelect(qcdialog);
        if (!holds(ctx_.store, r)) return;
        const SlotData& cur = ctx_.store[2];
        s_.ialreadyshoweddep = 1;
        showstartpoint(cur, r, s_);
        s_.startdepth = std::fabs(cur.depth[static_cast<std::size_t>(r)]);
        s_.ind1 = r;
    }

    QcState mousepick(const EventRecord& e) {
        s_.iuser_set_ind1 = 0;
        int iflag = 0;
        float y = 0;
        int ind = s_.ind1;
        if (!mouseydown(s_.imouse, e, s_.dt1, ctx_.store[2], ctx_.store[4].npts, iflag, y, ind))
            return QcState::Arming;
        s_.ind1 = ind;
        s_.iuser_set_ind1 = 1;
        showstartpoint(ctx_.store[2], s_.ind1, s_);
        s_.startdepth = std::fabs(y);
        return QcState::Depth;
    }

    // Only one surface code per profile: a surface code chosen while point 1
    // already has a code resets the dialog to no code chosen.
    void refusesecondsurface() {
        if (ctx_.store[2].code[1] == QcCode() || !issurfacecode(s_.codey, s_.iqc)) return;
        showsurfacealert();
        qcinit();
        s_.iqc = 0;
        s_.imouse = 1;
        s_.ind1 = 1;
        s_.codey = QcCode();
    }

    // After a field of dialog 106 changed in Surface or Depth.
    QcState codechange(QcState state) {
        qcfields(s_.imouse, s_.iqc, s_.isurface, s_.codey);
        refusesecondsurface();
        if (s_.imouse == 1) s_.ialreadyshoweddep = 0;
        if (s_.codey != s_.codey1) {
            if (state == QcState::Surface) {
                s_.iuser_set_ind1 = 0;
            } else if (s_.codey == "WB") {
                s_.ialreadyshoweddep = 0;
                s_.iuser_set_ind1 = 0;
            }
            return QcState::Arming;
        }
        if (s_.codey == "LE" && s_.codey1 == "LE") return QcState::Arming;
        return state;
    }

    // "Apply": the chosen code into the profile at its start point.
    QcState applycode() {
        if (s_.startdepth == nostartdepth) {
            WMessageBox(0, 3, 1, "I need a start depth for this code", "Error Info");
            return QcState::Arming;
        }
        ProfileStore& store = ctx_.store;
        SlotData& cur = store[2];
        drawline(ctx_.colours, store[4], store[4].npts, 4, ctx_.ilinewidth);
        if (s_.isurface == 0) s_.ind1 = 1;
        if (!holds(store, s_.ind1)) return QcState::Arming;
        const auto k = static_cast<std::size_t>(s_.ind1);
        // Below the cut the displayed profile takes back every loaded point:
        // npts(4), which npts4 equals except after a confirmed cut whose
        // write failed, when it counts only the points above that cut.
        if (s_.ind1 > cur.npts) {
            cur.npts = clampPoints(store[4].npts);
            movecut(ctx_.cut, -cur.depth[k]);
        }
        if (s_.iqc == 4) movecut(ctx_.cut, -cur.depth[k]);
        if (s_.codey == "PL") {
            pledit(cur, cur.npts, s_.ind1);
            hidedialog(depthlistdialog);
            hidedialog(qcdialog);
            qcinit();
            reshow();
        } else if (s_.codey == "CS") {
            csedit(cur, s_.ind1, store[4].npts);
        } else {
            cur.code[k] = s_.codey;
            cur.iclass[k] = s_.iqc;
        }
        drawline(ctx_.colours, cur, cur.npts, 2, ctx_.ilinewidth);
        return QcState::Arming;
    }

    EditContext& ctx_;
    QcDialogState& s_;
};

}  // namespace

void qcinit() {
    WDialogSelect(qcdialog);
    WDialogClearField(codes);
    WDialogPutRadioButton(usemouse);
    dimstartpoint();
    putprompts("", "", "");
    WDialogFieldState(apply, kDisabled);
    WDialogShow(4480, 4300, 0, 2);
}

void qcfields(int& imouse, int& iqc, int& isurface, QcCode& codey) {
    WDialogSelect(qcdialog);
    WDialogGetRadioButton(usemouse, imouse);
    int index = 0;
    WDialogGetRadioButton(codes, index);
    qccode(index, isurface, iqc, codey);
    WDialogSelect(qcdialog);
    if (isurface == 0) {
        FixedText<30> line("   is marked at the surface:");
        line.put(1, codey.view());
        putprompts(line.view(), "Click \"Apply\" to apply it", "(one surface mark per profile)");
        WDialogFieldState(apply, kEnabled);
        dimstartpoint();
    } else {
        FixedText<30> line("Choose start depth of \"  \"");
        line.put(24, codey.view());
        putprompts(line.view(), "Click \"Apply\" to apply it", "");
        WDialogFieldState(apply, kEnabled);
        WDialogPutString(usemouse, "Use mouse:");
        WDialogPutString(choosedepth, "Choose depth:");
        if (codey == "PL") {
            WDialogFieldState(choosedepth, kEnabled);
            WDialogPutRadioButton(choosedepth);
            WDialogPutString(modenote, "(Disabled)");
            fieldstate({usemouse, modenote}, kDisabled);
            imouse = 2;
        } else if (codey == "CS") {
            WDialogPutString(modenote, "");
            WDialogFieldState(choosedepth, kEnabled);
            WDialogPutRadioButton(choosedepth);
        } else {
            WDialogPutString(modenote, "(Enabled)");
            fieldstate({usemouse, modenote}, kEnabled);
        }
        blanktemperature();
        fieldstate({choosedepth, heading, startpoint, depth, temperature}, kEnabled);
    }
    if (imouse == 1 && isurface == 1) {
        WDialogPutString(modenote, "(Enabled)");
        fieldstate({heading, startpoint, depth, temperature}, kEnabled);
        hidedialog(depthlistdialog);
        WDialogSelect(qcdialog);
    } else if (imouse == 2 && isurface == 1) {
        WDialogPutString(modenote, codey == "CS" ? "" : "(Disabled)");
        blanktemperature();
    }
    reshow();
}

void qc(EditContext& ctx, QcDialogState& s, const QcPreset& preset) {
    QcDialog(ctx, s).run(preset);
}
