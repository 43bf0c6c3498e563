// Class and code consistency passes over the current profile.
#include "qc/checks.h"

#include <algorithm>
#include <string_view>

#include "toolkit/toolkit.h"

namespace {

int clampToStore(int n) {
    return std::clamp(n, 0, ndepmax);
}

// The code pass asks nothing: the box is a notice, and its answer is not
// read, but it keeps the OK/Cancel question style the operators know.
void inform(std::string_view text) {
    WMessageBox(1, 2, 1, text, "Information!");
}

// IV and NU claim a confirmed inversion, which only a class-1 point can
// carry; on a class-2 point the claim is weakened to PI instead of lost.
void checkInversion(QcCode& code, int iclass, std::string_view name, std::string_view changed,
                    std::string_view deleted) {
    if (!(code == name) || iclass == 1) return;
    if (iclass == 2) {
        code = QcCode("PI");
        inform(changed);
    } else {
        code = QcCode();
        inform(deleted);
    }
}

void checkOnlyClass2(QcCode& code, int iclass, std::string_view name, std::string_view deleted) {
    if (!(code == name) || iclass == 2) return;
    code = QcCode();
    inform(deleted);
}

// Blanks the shallowest HB code stored with class iclass.
void dropFirstHb(SlotData& cur, int n, int iclass) {
    for (int i = 1; i <= n; ++i) {
        if (cur.code[i] == "HB" && cur.iclass[i] == iclass) {
            cur.code[i] = QcCode();
            return;
        }
    }
}

}  // namespace

void checkclass(SlotData& cur, int n) {
    n = clampToStore(n);
    int r = 1;
    for (int i = 1; i <= n; ++i) {
        int& c = cur.iclass[i];
        if (c < 0 || c > 4) continue;
        c = std::max(c, r);
        r = c;
    }
}

int checkcode(SlotData& cur, int n) {
    n = clampToStore(n);
    int nhba = 0, nhbr = 0;
    for (int i = 1; i <= n; ++i) {
        QcCode& code = cur.code[i];
        const int c = cur.iclass[i];
        if (code == "") continue;
        checkInversion(code, c, "IV", "Changed IV to PI for Class consistency!",
                       "Deleted IV for Class consistency!");
        checkInversion(code, c, "NU", "Changed NU to PI for Class consistency!",
                       "Deleted NU for Class consistency!");
        checkOnlyClass2(code, c, "PI", "Deleted PI for Class consistency!");
        checkOnlyClass2(code, c, "TD", "Deleted TD for Class consistency!");
        if (code == "HB" && c == 2) ++nhba;
        if (code == "HB" && c == 3) ++nhbr;
    }
    if (nhba > 2 || nhbr > 2) {
        inform("You have too many HBs marked, redo your edits.");
        return 1;
    }
    if (nhba == 2) {
        inform("You have 2 HBAs marked, deleting first one.");
        dropFirstHb(cur, n, 2);
    }
    if (nhbr == 2) {
        inform("You have 2 HBRs marked, deleting first one.");
        dropFirstHb(cur, n, 3);
    }
    return 0;
}
