// The five dialogs as loaded from their resources, row by row against the
// tables they were transcribed from, and the parser's answer to malformed
// resources.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "resources/embedded.h"
#include "toolkit/templates.h"
#include "toolkit/toolkit.h"

using namespace toolkit;

namespace {

using K = FieldKind;
using A = Align;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct Row {
    int id;
    FieldKind kind;
    const char* text;
    int x, y, w, h;
    bool group;
    Align align;
    bool readOnly, isDefault;
    int check;      // -1: no [Checks] entry
    double lo, hi;  // NaN: no range
    int points;     // 0: dialog font
    const char* face;
    int weight;
    std::array<int, 3> textColour;  // -1: none
    std::array<int, 2> format;      // width 0: none
};

struct Table {
    int id;
    const char* title;
    int width, height;
    std::vector<Row> rows;
};

// One row of a table per line.
// clang-format off
const Table tables[] = {
    {104, "Choose new drop", 134, 81,
     {
         {1017, K::Text, "Choose drop number to edit:", 5, 26, 94, 11, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1019, K::Text, "stations.dat has 000 drops", 5, 9, 98, 11, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1018, K::Integer, "1", 100, 24, 30, 13, false, A::Right, false, false, -1, 1, 999, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1, K::Button, "OK", 10, 59, 40, 14, true, A::Left, false, true, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {2, K::Button, "Cancel", 68, 59, 40, 14, true, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1058, K::Radio, "KTD    or", 29, 40, 44, 14, true, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1059, K::Radio, "OLD 2m 's'", 80, 40, 50, 14, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1065, K::Text, "Edit:", 5, 43, 20, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
     }},
    {108, "Plot range", 106, 165,
     {
         {1035, K::Text, "Plot temperature range:", 6, 7, 82, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1036, K::Text, "Minimum:", 6, 23, 37, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1037, K::Text, "Maximum:", 6, 39, 37, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1047, K::CheckBox, "Show depth grid", 6, 52, 75, 12, true, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1048, K::CheckBox, "Show temperature grid", 6, 65, 85, 12, false, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1050, K::Integer, "1", 42, 78, 15, 12, false, A::Right, false, false, -1, 1, 10, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1053, K::Spin, "1", 61, 93, 21, 12, false, A::Right, false, false, -1, 1, 3, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1, K::Button, "OK", 4, 140, 40, 14, true, A::Left, false, true, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {2, K::Button, "Cancel", 48, 140, 40, 14, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1049, K::Text, "every", 20, 80, 20, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1051, K::Text, "degrees", 60, 80, 30, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1052, K::Text, "Trace line width:", 6, 96, 52, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1054, K::Text, "o", 76, 20, 4, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "Microsoft Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1055, K::Text, "C", 81, 23, 6, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1056, K::Text, "o", 76, 36, 5, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1057, K::Text, "C", 81, 39, 6, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1022, K::Real, "0.0", 48, 20, 25, 12, false, A::Right, false, false, -1, -10.000, 50.000, 0, "", 0, {-1, -1, -1}, {5, 1}},
         {1023, K::Real, "30.0", 48, 36, 25, 12, false, A::Right, false, false, -1, -10.000, 50.000, 0, "", 0, {-1, -1, -1}, {5, 1}},
         {1040, K::CheckBox, "Hide previous profile", 6, 111, 85, 12, true, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1043, K::CheckBox, "Hide next profile", 6, 124, 85, 12, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
     }},
    {103, "Interpolate", 124, 198,
     {
         {1, K::Button, "OK", 14, 176, 40, 14, true, A::Left, false, true, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {2, K::Button, "Cancel", 60, 176, 40, 14, true, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1060, K::HLine, "", 6, 65, 112, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1049, K::Text, "QC code for interpolated section:", 2, 68, 110, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1011, K::Radio, "SPA=Spike Accept", 3, 77, 103, 12, true, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1012, K::Radio, "HFA=High Frequency Accept", 3, 89, 119, 12, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1020, K::Radio, "IPA=Insulation Penetration Accept", 3, 101, 129, 12, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1051, K::Text, "Note: Interpolated section: Class=5", 2, 117, 128, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1052, K::Text, "All data below interpolated section:", 2, 135, 120, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1026, K::Text, "Depth       Temperature", 45, 27, 76, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1027, K::Text, "First point:", 3, 40, 33, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1028, K::Text, "Last point:", 3, 54, 33, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1031, K::Text, "", 69, 40, 35, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1032, K::Text, "", 69, 54, 35, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1061, K::HLine, "", 6, 130, 109, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1062, K::Radio, "Class 2 - probably good", 3, 147, 105, 12, true, A::Left, false, false, 1, kNone, kNone, 8, "MS Sans Serif", 700, {66, 66, 66}, {0, 0}},
         {1063, K::Radio, "Class 3 - probably bad", 3, 159, 103, 12, false, A::Left, false, false, 0, kNone, kNone, 8, "MS Sans Serif", 700, {255, 0, 0}, {0, 0}},
         {1030, K::Real, "0.000", 38, 40, 29, 12, false, A::Right, true, false, -1, -999.00, 1000.0, 0, "", 0, {-1, -1, -1}, {8, 3}},
         {1024, K::Real, "0.000", 38, 54, 29, 10, false, A::Right, true, false, -1, -999.00, 1000.0, 0, "", 0, {-1, -1, -1}, {8, 3}},
         {2001, K::Button, "", 109, 36, 14, 14, true, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1009, K::Radio, "Use mouse (not precise)    OR", 3, 2, 111, 10, true, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1038, K::Radio, "Choose depth", 3, 13, 59, 10, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
     }},
    {105, "Choose depth", 124, 307,
     {
         {1033, K::Text, "Depth  Temperature  Class  Code", 4, 4, 108, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1029, K::List, "", 4, 16, 118, 284, false, A::Left, false, false, -1, kNone, kNone, 10, "Courier", 400, {-1, -1, -1}, {0, 0}},
     }},
    {106, "Choose QC Class and Code for feature:", 302, 186,
     {
         {1066, K::Radio, "EFA=Eddy/Front confirmed", 33, 4, 106, 10, true, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1067, K::Radio, "IVA=Inversion confirmed", 33, 14, 98, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1068, K::Radio, "NUA=Inversion in ML confirmed", 33, 24, 114, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1069, K::Radio, "STA=Fine struct/Step confirmed", 33, 34, 114, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1046, K::Radio, "CSA=Remove surface data", 33, 44, 111, 10, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1072, K::Radio, "FSA Fine Structure possible", 33, 59, 102, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1086, K::Radio, "HBA Hit Bottom isotherm bound layer", 33, 69, 112, 9, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1073, K::Radio, "LEA=Leakage possible", 33, 79, 96, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1074, K::Radio, "PIA=Inversion probable", 33, 89, 100, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1071, K::Radio, "PLA=Premature Launch", 33, 99, 119, 9, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1075, K::Radio, "PSA=Fine Struct/Step probable", 33, 119, 114, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1076, K::Radio, "SAA=Surface Anomaly", 33, 129, 100, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1077, K::Radio, "TDA=Temperature Diff at depth", 33, 139, 114, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1078, K::Radio, "WSA=Wire Stretch possible", 33, 149, 104, 9, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1087, K::Radio, "HBR=Hit Bottom Reject", 184, 4, 116, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1080, K::Radio, "IPR=Insulation Penetration Reject", 184, 14, 116, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1081, K::Radio, "LER=Leakage Reject", 184, 24, 102, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1082, K::Radio, "TOR=Temperature Offset Reject", 184, 34, 114, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1083, K::Radio, "WSR=Wire Stretch Reject", 184, 44, 102, 10, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1088, K::Radio, "HFR=High Frequency Reject", 184, 59, 121, 9, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1089, K::Radio, "SPR=Spike Reject", 184, 69, 121, 11, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1090, K::Radio, "WBR=Wire Break Reject", 184, 79, 123, 11, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1005, K::Radio, "TPR=Test Probe Reject", 184, 89, 100, 11, false, A::Left, false, false, 0, kNone, kNone, 7, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1007, K::Text, "", 154, 103, 156, 9, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {-1, -1, -1}, {0, 0}},
         {1008, K::Text, "", 154, 114, 154, 9, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {-1, -1, -1}, {0, 0}},
         {1009, K::Radio, "Use mouse:", 156, 136, 50, 11, true, A::Left, false, false, 1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1034, K::Radio, "Choose Depth", 156, 148, 62, 11, false, A::Left, false, false, 0, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1054, K::Text, "(Enabled)", 214, 138, 35, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1026, K::Text, "Depth         Temperature", 209, 159, 80, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1027, K::Text, "Start point:", 158, 170, 43, 9, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1021, K::Real, "0.000", 208, 170, 31, 11, false, A::Centre, true, false, -1, -999.00, 1000.0, 0, "", 0, {-1, -1, -1}, {8, 3}},
         {1031, K::Text, "", 245, 170, 48, 10, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1013, K::Text, "Class", 1, 4, 30, 8, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {-1, -1, -1}, {0, 0}},
         {1039, K::Text, "Good", 1, 26, 25, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1014, K::Text, "Class", 1, 60, 28, 8, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {73, 73, 73}, {0, 0}},
         {1041, K::Text, "Probably", 2, 82, 31, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1042, K::Text, "good", 4, 92, 21, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1015, K::Text, "Class", 152, 4, 32, 8, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {255, 0, 0}, {0, 0}},
         {1045, K::Text, "Probably", 152, 26, 32, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1064, K::Text, "bad", 154, 36, 16, 8, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 400, {-1, -1, -1}, {0, 0}},
         {1085, K::Text, "Class", 152, 59, 32, 8, false, A::Left, false, false, -1, kNone, kNone, 10, "MS Sans Serif", 700, {0, 255, 64}, {0, 0}},
         {1004, K::Text, "Bad", 154, 81, 22, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1061, K::HLine, "", 6, 57, 140, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1079, K::HLine, "", 6, 161, 140, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1084, K::HLine, "", 156, 57, 140, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1006, K::HLine, "", 156, 101, 140, 1, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1016, K::VLine, "", 150, 4, 1, 176, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1, K::Button, "Apply", 20, 166, 40, 14, true, A::Left, false, true, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {2, K::Button, "Exit QC", 82, 166, 40, 14, true, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
         {1001, K::Text, "1", 4, 14, 10, 10, false, A::Left, false, false, -1, kNone, kNone, 11, "MS Sans Serif", 700, {-1, -1, -1}, {0, 0}},
         {1002, K::Text, "2", 4, 70, 10, 10, false, A::Left, false, false, -1, kNone, kNone, 11, "MS Sans Serif", 700, {73, 73, 73}, {0, 0}},
         {1003, K::Text, "3", 154, 14, 10, 10, false, A::Left, false, false, -1, kNone, kNone, 11, "MS Sans Serif", 700, {255, 0, 0}, {0, 0}},
         {1010, K::Text, "4", 154, 69, 10, 10, false, A::Left, false, false, -1, kNone, kNone, 11, "MS Sans Serif", 700, {0, 255, 0}, {0, 0}},
         {1025, K::Text, "", 154, 125, 138, 9, false, A::Left, false, false, -1, kNone, kNone, 8, "MS Sans Serif", 700, {-1, -1, -1}, {0, 0}},
         {1044, K::Text, "( AKA False Splash )", 60, 109, 90, 8, false, A::Left, false, false, -1, kNone, kNone, 0, "", 0, {-1, -1, -1}, {0, 0}},
     }},
};
// clang-format on

class DialogTable : public ::testing::TestWithParam<Table> {};

TEST_P(DialogTable, LoadedDialogMatchesItsTable) {
    const Table& want = GetParam();
    const TemplateLoad load = loadDialogTemplate(want.id, embeddedResource);
    ASSERT_TRUE(load.dialog) << load.message;
    const DialogTemplate& t = *load.dialog;
    EXPECT_EQ(t.id, want.id);
    EXPECT_EQ(t.title, want.title);
    EXPECT_EQ(t.width, want.width);
    EXPECT_EQ(t.height, want.height);
    EXPECT_EQ(t.font, (FontOption{8, "MS Sans Serif", 400, false}));
    ASSERT_EQ(t.fields.size(), want.rows.size());
    for (std::size_t i = 0; i < want.rows.size(); ++i) {
        const Row& r = want.rows[i];
        const FieldTemplate& f = t.fields[i];
        SCOPED_TRACE("field " + std::to_string(r.id));
        EXPECT_EQ(f.id, r.id);
        EXPECT_EQ(f.kind, r.kind);
        EXPECT_EQ(f.text, r.text);
        EXPECT_EQ((std::array{f.x, f.y, f.width, f.height}), (std::array{r.x, r.y, r.w, r.h}));
        EXPECT_EQ(f.groupStart, r.group);
        EXPECT_EQ(f.align, r.align);
        EXPECT_EQ(f.readOnly, r.readOnly);
        EXPECT_EQ(f.isDefault, r.isDefault);
        EXPECT_EQ(f.check.value_or(-1), r.check);
        if (std::isnan(r.lo)) {
            EXPECT_FALSE(f.range);
        } else {
            ASSERT_TRUE(f.range);
            EXPECT_EQ(f.range->lowest, r.lo);
            EXPECT_EQ(f.range->highest, r.hi);
        }
        if (r.points == 0) {
            EXPECT_FALSE(f.font);
        } else {
            ASSERT_TRUE(f.font);
            EXPECT_EQ(*f.font, (FontOption{r.points, r.face, r.weight, false}));
        }
        if (r.textColour[0] < 0) {
            EXPECT_FALSE(f.colours);
        } else {
            ASSERT_TRUE(f.colours);
            EXPECT_EQ(f.colours->text, r.textColour);
            EXPECT_EQ(f.colours->background, (std::array{256, 256, 256}));
        }
        if (r.format[0] == 0) {
            EXPECT_FALSE(f.format);
        } else {
            ASSERT_TRUE(f.format);
            EXPECT_EQ((std::array{f.format->width, f.format->decimals}), r.format);
        }
        EXPECT_FALSE(f.menu);
        EXPECT_EQ(f.picture, r.id == 2001 ? 2001 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(FiveDialogs, DialogTable, ::testing::ValuesIn(tables),
                         [](const auto& info) { return "dialog" + std::to_string(info.param.id); });

TEST(DialogResources, PictureOfTheEraserIsCarried) {
    EXPECT_TRUE(embeddedResource(pictureResourceName(2001)));
}

// A lookup that serves one template and option block from memory.
ResourceLookup serving(std::string tpl, std::string opt) {
    return [tpl, opt](std::string_view name) -> std::optional<std::string_view> {
        if (name == templateResourceName(900)) return std::string_view(tpl);
        if (name == optionResourceName(900)) return std::string_view(opt);
        return std::nullopt;
    };
}

const char* const goodTemplate =
    "dialog 900 100 50 \"Test\"\n"
    "1 button 1 1 40 14 group,default \"OK\"\n"
    "10 radio 1 20 40 10 group \"a\"\n"
    "11 radio 1 30 40 10 - \"b\"\n"
    "12 real 50 20 30 12 right \"1.0\"\n"
    "13 list 50 30 30 12 - \"\"\n";

TEST(DialogResources, MissingTemplateIsNoTemplateAndMissingOptionsAreNone) {
    EXPECT_EQ(loadDialogTemplate(901, serving(goodTemplate, "")).code, ToolkitError::NoTemplate);
    const TemplateLoad ok =
        loadDialogTemplate(900, [](std::string_view n) -> std::optional<std::string_view> {
            if (n == templateResourceName(900)) return std::string_view(goodTemplate);
            return std::nullopt;
        });
    ASSERT_TRUE(ok.dialog) << ok.message;
    EXPECT_EQ(ok.dialog->fields.size(), 5u);
}

TEST(DialogResources, OptionBlockMenusAndLeadingBlanks) {
    const TemplateLoad load = loadDialogTemplate(
        900, serving(goodTemplate, "  [Menus]\n 13 2 2\nfirst row\nsecond row  \n[Checks]\n11 1\n"));
    ASSERT_TRUE(load.dialog) << load.message;
    const auto& f = load.dialog->fields;
    EXPECT_EQ(f[4].menu, (MenuOption{{"first row", "second row"}, 2}));
    EXPECT_EQ(f[2].check, 1);
}

struct Malformed {
    const char* name;
    std::string tpl, opt;
};

class MalformedResource : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedResource, IsRefusedNamingTheResource) {
    const TemplateLoad load = loadDialogTemplate(900, serving(GetParam().tpl, GetParam().opt));
    EXPECT_FALSE(load.dialog);
    EXPECT_EQ(load.code, ToolkitError::CreateFailed);
    EXPECT_NE(load.message.find("dlg900-"), std::string::npos) << load.message;
}

const std::string g = goodTemplate;
constexpr char junk[] = "dialog 900 1 1 \"x\"\n\x01\xff\x00zz";
INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedResource,
    ::testing::Values(Malformed{"FieldBeforeDialogLine", "1 button 1 1 40 14 - \"OK\"\n" + g, ""},
                      Malformed{"UnknownKind", g + "14 slider 1 1 4 4 - \"\"\n", ""},
                      Malformed{"MissingSize", g + "14 text 1 1 4 - \"x\"\n", ""},
                      Malformed{"EmptySize", g + "14 text 1 1 0 8 - \"x\"\n", ""},
                      Malformed{"UnquotedText", g + "14 text 1 1 4 8 - x\n", ""},
                      Malformed{"UnknownFlag", g + "14 text 1 1 4 8 bold \"x\"\n", ""},
                      Malformed{"DuplicateField", g + "12 text 1 1 4 8 - \"x\"\n", ""},
                      Malformed{"HugeNumber", g + "14 text 99999999999999999999 1 4 8 - \"x\"\n", ""},
                      Malformed{"UnknownSection", g, "[Sizes]\n12 1\n"},
                      Malformed{"LineBeforeSection", g, "12 1\n"},
                      Malformed{"FieldNotInDialog", g, "[Checks]\n99 1\n"},
                      Malformed{"CheckOnNumberField", g, "[Checks]\n12 1\n"},
                      Malformed{"CheckStateTwo", g, "[Checks]\n10 2\n"},
                      Malformed{"TwoRadiosOn", g, "[Checks]\n10 1\n11 1\n"},
                      Malformed{"RangeUpsideDown", g, "[Ranges]\n12 5 1\n"},
                      Malformed{"RangeNotNumber", g, "[Ranges]\n12 low 1\n"},
                      Malformed{"FontWithoutComma", g, "[Fonts]\n12 8 MS Sans Serif 400 0\n"},
                      Malformed{"ColourOutOfRange", g, "[Colours]\n12 300 0 0 256 256 256\n"},
                      Malformed{"ColourTooFew", g, "[Colours]\n12 0 0 0\n"},
                      Malformed{"FormatBad", g, "[Formats]\n12 f8.3\n"},
                      Malformed{"FormatOnList", g, "[Formats]\n13 (f8.3)\n"},
                      Malformed{"MenuShortOfItems", g, "[Menus]\n13 3 1\nonly one\n"},
                      Malformed{"MenuCountAbsurd", g, "[Menus]\n13 2000000000 1\n"},
                      Malformed{"BinaryJunk", std::string(junk, sizeof junk - 1), ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
