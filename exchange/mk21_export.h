// The reader of a Sippican MK21 export file (".EDF"): the launch and probe
// lines of its header and the depth and temperature columns of its table,
// in the older layout (one line naming the columns) or the newer one
// ("Field1" to "FieldN"). The text is ISO-8859-1 with CRLF or LF; only
// ASCII is ever compared, so the degree sign in either encoding is harmless.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "exchange/incoming_drop.h"

// The drop, or the reason the file cannot be taken. name is how messages
// call the file.
struct Mk21Read {
    std::optional<IncomingDrop> drop;
    ImportProblem problem;
};
Mk21Read readmk21(std::string_view bytes, const std::string& name);

// The WMO 1770 code of a probe type as the export names it ("T-7", "Deep
// Blue", "T-11 (Fine Structure)", "XCTD-2"), told apart by the depth
// equation's coefficients (z = c1 + c2 t + c3 t^2) where the table has two
// codes for one probe. Code 0 with a note when no row fits.
struct ProbeChoice {
    int code = 0;
    bool xctd = false;
    char letter = ' ';  // the station line's flag: the MK21 file prefix letter ("T7_" gives '7')
    std::string note;   // why the code is 0, when it is
};
ProbeChoice mk21probe(std::string_view type, std::optional<double> c2, std::optional<double> c3);
