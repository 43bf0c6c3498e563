// The closed catalogue of QC codes that the operator attaches in the QC
// dialog, the rule that says which of them belong to the whole profile, and
// the explanatory boxes shown when CS or PL is chosen.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "profile/profile_store.h"

// One button of the QC dialog's code group.
struct QcCatalogueEntry {
    int index;              // 1-based position of the button in the group
    int id;                 // control id of the button in dialog 106
    std::string_view text;  // button label, with the accept/reject letter
    std::string_view code;  // the two letters that are stored
    int iclass;             // class returned with the code
    int isurface;           // 0: applied at point 1; 1: needs a start depth
};

inline constexpr int nqccodes = 23;

inline constexpr std::array<QcCatalogueEntry, nqccodes> qccatalogue{{
    {1, 1066, "EFA=Eddy/Front confirmed", "EF", 1, 0},
    {2, 1067, "IVA=Inversion confirmed", "IV", 1, 1},
    {3, 1068, "NUA=Inversion in ML confirmed", "NU", 1, 1},
    {4, 1069, "STA=Fine struct/Step confirmed", "ST", 1, 0},
    {5, 1046, "CSA=Remove surface data", "CS", 2, 1},
    {6, 1072, "FSA Fine Structure possible", "FS", 2, 0},
    {7, 1086, "HBA Hit Bottom isotherm bound layer", "HB", 2, 1},
    {8, 1073, "LEA=Leakage possible", "LE", 2, 0},
    {9, 1074, "PIA=Inversion probable", "PI", 2, 1},
    {10, 1071, "PLA=Premature Launch", "PL", 5, 1},
    {11, 1075, "PSA=Fine Struct/Step probable", "PS", 2, 0},
    {12, 1076, "SAA=Surface Anomaly", "SA", 2, 0},
    {13, 1077, "TDA=Temperature Diff at depth", "TD", 2, 1},
    {14, 1078, "WSA=Wire Stretch possible", "WS", 2, 1},
    {15, 1087, "HBR=Hit Bottom Reject", "HB", 3, 1},
    {16, 1080, "IPR=Insulation Penetration Reject", "IP", 3, 1},
    {17, 1081, "LER=Leakage Reject", "LE", 3, 1},
    {18, 1082, "TOR=Temperature Offset Reject", "TO", 3, 1},
    {19, 1083, "WSR=Wire Stretch Reject", "WS", 3, 1},
    {20, 1088, "HFR=High Frequency Reject", "HF", 4, 1},
    {21, 1089, "SPR=Spike Reject", "SP", 4, 1},
    {22, 1090, "WBR=Wire Break Reject", "WB", 4, 1},
    {23, 1005, "TPR=Test Probe Reject", "TP", 4, 0},
}};

// The catalogue entry of button `index`, or nothing when no button is on.
std::optional<QcCatalogueEntry> qcentry(int index);

// Maps the selected button to its code, class and surface flag. An index
// outside 1..23 (no button selected) leaves the outputs as they were.
// CS and PL first explain themselves in a message box, because both rewrite
// the top of the profile. Returns whether the outputs were set.
bool qccode(int index, int& isurface, int& iqc, QcCode& codey);

// True for the codes that describe the whole profile: only one of them may
// stand at point 1. LE counts only in its accept form (class 2).
bool issurfacecode(const QcCode& codey, int iqc);

// The explanatory boxes, exactly as the operator sees them: titles and lines
// blank-padded to their widths and joined by carriage returns.
std::string csinfotitle();
std::string csinfotext();
std::string plinfotitle();
std::string plinfotext();
void showcsinfo();
void showplinfo();

// The alert when a second surface code is chosen while point 1 already has
// a code: four lines padded to 54, 47, 47 and 48 characters.
std::string surfacealerttext();
void showsurfacealert();
