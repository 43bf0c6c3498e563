// The QC dialog: the operator chooses a code of the catalogue and attaches
// it to the current profile, at the surface (point 1) or at a start point
// picked in the plot or in the depth list. The dialog changes memory only;
// the finishing commands make the classes consistent and write the files.
#pragma once
#include "base/fixed_text.h"
#include "profile/profile_store.h"
#include "qc/edit_context.h"

inline constexpr int qcdialog = 106;

namespace QcField {
constexpr int apply = 1, exitqc = 2;
constexpr int codes = 1066;                         // first button of the 23 codes
constexpr int usemouse = 1009, choosedepth = 1034;  // the selection-mode group
constexpr int modenote = 1054;
constexpr int prompt1 = 1007, prompt2 = 1008, prompt3 = 1025;
constexpr int heading = 1026, startpoint = 1027;
constexpr int depth = 1021, temperature = 1031;
}  // namespace QcField

// What the dialog keeps between its events. It lives in the program-wide
// state, so what is left after "Exit QC" is still there at the next
// QC-Codes command, which resets part of it on entry.
struct QcDialogState {
    QcCode codey;               // the code chosen; blank when none
    int iqc = 0;                // its class; 0 when none is chosen
    int isurface = 0;           // 0: a surface code; 1: needs a start depth
    int imouse = 1;             // 1 "Use mouse:", 2 "Choose Depth"
    int ind1 = 1;               // start point in the current profile
    QcCode codey1;              // the code when it was last armed
    int ialreadyshoweddep = 0;  // the depth list is up for the armed code
    int iuser_set_ind1 = 0;     // the start point came from a mouse click
    float startdepth = -99.0f;  // positive; -99 while none is chosen
    FixedText<7> dt1;           // temperature of the start point, F7.3
};

// The start depth that means "none chosen yet".
inline constexpr float nostartdepth = -99.0f;

// Resets dialog 106: no code on, the mode and start-point fields dimmed,
// empty prompts, "Apply" disabled; shows it at (4480, 4300).
void qcinit();

// Reads the selection mode and the code button, the code through qccode
// (with the CS and PL boxes), and sets prompts and field states to match.
void qcfields(int& imouse, int& iqc, int& isurface, QcCode& codey);

// A suggestion the dialog opens with: catalogue index 1..23 (0: none) and,
// for a code that needs a start depth, the point to start at.
struct QcPreset {
    int index = 0;
    int point = 0;
};

// The dialog's own event loop, run after qcinit until "Exit QC". Expose and
// Resize redraw the plot; menu commands and every other event are read and
// dropped, so no other command runs meanwhile. With a preset the dialog
// opens with that code chosen and that point picked.
void qc(EditContext& ctx, QcDialogState& s, const QcPreset& preset = {});
