// The spreadsheet writer. Depths and temperatures come from the q file's
// whole millimetres and thousandths of a degree, and are written back as
// exactly those digits.
#include "exchange/export_odv.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#ifndef DROPFIX_VERSION
#define DROPFIX_VERSION "unknown"
#endif

namespace {

// v with three decimals, from its nearest thousandth.
void thousandths(double v, std::string& out) {
    long long k = std::llround(v * 1000.0);
    if (k < 0) {
        out += '-';
        k = -k;
    }
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, k / 1000).ptr;
    out.append(digits, end);
    const int frac = static_cast<int>(k % 1000);
    out += '.';
    out += static_cast<char>('0' + frac / 100);
    out += static_cast<char>('0' + frac / 10 % 10);
    out += static_cast<char>('0' + frac % 10);
}

// A coordinate as the station list writes it: its decimals, without
// trailing zeros.
void coordinate(double v, std::string& out) {
    char s[32];
    std::snprintf(s, sizeof s, "%.5f", v);
    std::string_view t = s;
    while (t.back() == '0') t.remove_suffix(1);
    if (t.back() == '.') t.remove_suffix(1);
    out.append(t);
}

std::string clean(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return r;
}

}  // namespace

std::string odvname(const std::string& cruise) {
    return cruise + ".txt";
}

std::vector<std::string> odvcolumns() {
    return {"Cruise",
            "Station",
            "Type",
            "yyyy-mm-ddThh:mm:ss.sss",
            "Longitude [degrees_east]",
            "Latitude [degrees_north]",
            "Bot. Depth [m]",
            "Depth [m]",
            "Temperature [\xC2\xB0"
            "C]",
            "QV:ARGO",
            "QC code"};
}

std::string odvhead(const std::string& cruise, const std::string& ship, const std::string& created) {
    std::string s;
    s += "//<Encoding>UTF-8</Encoding>\n";
    s += "//<Creator>dropfix " DROPFIX_VERSION "</Creator>\n";
    s += "//<CreateTime>" + created + "</CreateTime>\n";
    s += "//<DataField>Ocean</DataField>\n";
    s += "//<DataType>Profiles</DataType>\n";
    s += "//XBT temperature profiles of cruise " + clean(cruise);
    if (!ship.empty()) s += ", ship " + clean(ship);
    s += "\n";
    s += "//QV:ARGO: 1 good, 2 probably good, 3 probably bad, 4 bad, 5 value changed; every point of a drop "
         "marked bad is 4\n";
    s += "//QC code: the two-letter code the operator attached at that point (a code at the first point "
         "applies to the whole profile)\n";
    const auto cols = odvcolumns();
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (i > 0) s += '\t';
        s += cols[i];
    }
    s += '\n';
    return s;
}

void odvrows(const ExportedDrop& d, std::string& out) {
    // The columns up to the bottom depth are the same on every row.
    std::string head = clean(d.cruise) + '\t' + d.digits + "\tC\t";
    if (d.time) {
        std::string t = isotime(*d.time);
        t.pop_back();  // the "Z": the column's own form has milliseconds and no zone
        head += t + ".000";
    }
    head += '\t';
    if (d.lon) coordinate(*d.lon, head);
    head += '\t';
    if (d.lat) coordinate(*d.lat, head);
    head += "\t\t";
    out.reserve(out.size() + d.points.size() * (head.size() + 24));
    for (const ExportPoint& p : d.points) {
        out += head;
        thousandths(p.depth, out);
        out += '\t';
        thousandths(p.t, out);
        out += '\t';
        out += static_cast<char>('0' + d.flag(p));
        out += '\t';
        if (p.hascode()) out.append(p.codetext());
        out += '\n';
    }
}
