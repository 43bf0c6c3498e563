// The summary line at the end of a run.
#include "app/summary.h"

#include <cstdio>

#include "base/fixed_text.h"
#include "toolkit/session.h"

std::string cruisesummary(std::string_view acruise, const StationTable& table) {
    int accepted = 0, bad = 0, tp = 0, notedited = 0;
    for (int i = 1; i <= table.nlines && i <= nstamax; ++i) {
        const int s = table[i].istatus;
        accepted += s == 1;
        bad += s == -1;
        tp += s == -4;
        notedited += s == 0;
    }
    return std::string(trimRight(acruise)) + ": " + std::to_string(table.nlines) + " drops, " +
           std::to_string(accepted) + " accepted, " + std::to_string(bad) + " bad, " + std::to_string(tp) +
           " test probe, " + std::to_string(notedited) + " not edited";
}

Outcome announceexit(const Outcome& o, std::string_view acruise, const StationTable& table) {
    if (o.status != 0) return o;
    const std::string line = cruisesummary(acruise, table) + "\n";
    std::fputs(line.c_str(), toolkit::scriptedSession() ? stderr : stdout);
    return o;
}
