// The probe types of WMO code table 1770 that the editor knows: what each
// code's probe is called, the fall-rate coefficients it names and the depth
// the probe is rated to. The raw file, the importer, the pre-screen and the
// exporters all speak of a probe by this three-digit code.
#pragma once
#include <optional>
#include <span>
#include <string_view>

struct ProbeType {
    int code = 0;               // WMO 1770, 0..999
    std::string_view name;      // "Sippican T-7"
    std::string_view family;    // "T-7": the type without its maker
    double a = 0;               // fall-rate coefficients z = a t - b' t^2 with
    double b = 0;               // b' = b / 1000; 0 and 0 when the table gives none
    double rated = 0;           // rated depth in metres; 0 when unknown
    bool xctd = false;          // conductivity too (the temperature alone is kept)
};

// Every code of the table, in code order.
std::span<const ProbeType> probetypes();

// The table's row for a code, if it has one.
std::optional<ProbeType> probetype(int code);

// The code in a raw file's three-column probe field ("042", " 42", "052"),
// if it holds digits only (blanks around them allowed) and the table knows it.
std::optional<ProbeType> probetypeof(std::string_view field);
