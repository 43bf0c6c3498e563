// WMO code table 1770 (instrument type and fall-rate equation), the rows for
// the expendable probes a ship of opportunity drops. Rated depths are the
// makers' figures; the pre-screen uses them to tell a record that ended where
// its probe was meant to end from one that ended early.
#include "profile/probe_types.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::array<ProbeType, 41> table{{
    {1, "Sippican T-4", "T-4", 6.472, 2.16, 460, false},
    {2, "Sippican T-4", "T-4", 6.691, 2.25, 460, false},
    {11, "Sippican T-5", "T-5", 6.828, 1.82, 1830, false},
    {21, "Sippican Fast Deep", "Fast Deep", 6.346, 1.82, 1000, false},
    {31, "Sippican T-6", "T-6", 6.472, 2.16, 460, false},
    {32, "Sippican T-6", "T-6", 6.691, 2.25, 460, false},
    {41, "Sippican T-7", "T-7", 6.472, 2.16, 760, false},
    {42, "Sippican T-7", "T-7", 6.691, 2.25, 760, false},
    {51, "Sippican Deep Blue", "Deep Blue", 6.472, 2.16, 760, false},
    {52, "Sippican Deep Blue", "Deep Blue", 6.691, 2.25, 760, false},
    {61, "Sippican T-10", "T-10", 6.301, 2.16, 200, false},
    {71, "Sippican T-11", "T-11", 1.779, 0.255, 460, false},
    {81, "Sippican AXBT (300 m probes)", "AXBT", 1.52, 0.0, 300, false},
    {201, "TSK T-4", "T-4", 6.472, 2.16, 460, false},
    {202, "TSK T-4", "T-4", 6.691, 2.25, 460, false},
    {211, "TSK T-6", "T-6", 6.472, 2.16, 460, false},
    {212, "TSK T-6", "T-6", 6.691, 2.25, 460, false},
    {221, "TSK T-7", "T-7", 6.472, 2.16, 760, false},
    {222, "TSK T-7", "T-7", 6.691, 2.25, 760, false},
    {231, "TSK T-5", "T-5", 6.828, 1.82, 1830, false},
    {241, "TSK T-10", "T-10", 6.301, 2.16, 200, false},
    {251, "TSK Deep Blue", "Deep Blue", 6.472, 2.16, 760, false},
    {252, "TSK Deep Blue", "Deep Blue", 6.691, 2.25, 760, false},
    {261, "TSK AXBT", "AXBT", 0, 0, 0, false},
    {401, "Sparton XBT-1", "XBT-1", 6.301, 2.16, 200, false},
    {411, "Sparton XBT-3", "XBT-3", 5.861, 0.0904, 460, false},
    {421, "Sparton XBT-4", "XBT-4", 6.472, 2.16, 460, false},
    {431, "Sparton XBT-5", "XBT-5", 6.828, 1.82, 1830, false},
    {441, "Sparton XBT-5DB", "XBT-5DB", 6.828, 1.82, 1830, false},
    {451, "Sparton XBT-6", "XBT-6", 6.472, 2.16, 460, false},
    {461, "Sparton XBT-7", "XBT-7", 6.472, 2.16, 760, false},
    {700, "Sippican XCTD standard", "XCTD", 0, 0, 1000, true},
    {710, "Sippican XCTD deep", "XCTD", 0, 0, 1000, true},
    {720, "Sippican AXCTD", "AXCTD", 0, 0, 1000, true},
    {730, "Sippican SXCTD", "SXCTD", 0, 0, 1000, true},
    {741, "TSK XCTD/XCTD-1", "XCTD-1", 0, 0, 1100, true},
    {742, "TSK XCTD-2", "XCTD-2", 0, 0, 1850, true},
    {743, "TSK XCTD-2F", "XCTD-2F", 0, 0, 1850, true},
    {744, "TSK XCTD-3", "XCTD-3", 0, 0, 1000, true},
    {745, "TSK XCTD-4", "XCTD-4", 0, 0, 1850, true},
    {751, "TSK AXCTD", "AXCTD", 0, 0, 1000, true},
}};

static_assert(std::is_sorted(table.begin(), table.end(),
                             [](const ProbeType& x, const ProbeType& y) { return x.code < y.code; }));

}  // namespace

std::span<const ProbeType> probetypes() {
    return table;
}

std::optional<ProbeType> probetype(int code) {
    const auto it = std::lower_bound(table.begin(), table.end(), code,
                                     [](const ProbeType& p, int c) { return p.code < c; });
    if (it == table.end() || it->code != code) return std::nullopt;
    return *it;
}

std::optional<ProbeType> probetypeof(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (field.empty() || field.size() > 3) return std::nullopt;
    int code = 0;
    for (const char c : field) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        code = code * 10 + (c - '0');
    }
    return probetype(code);
}
