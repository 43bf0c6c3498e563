// Exporting a cruise's edited drops for other systems: `dropfix --export
// netcdf|bufr|odv [DIR] [--out OUTDIR]` on the command line, and the editor's
// D key, which writes all three formats. Accepted and bad drops go out, test
// probes and drops not yet edited are counted and skipped. Every drop is
// read and encoded before anything is written, so that a damaged q file or
// a failed write leaves no output file behind; the cruise directory itself
// is never written, except the export folder inside it.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/toolkit.h"

struct State;

enum class ExportFormat { netcdf, bufr, odv };

// The format a command-line word names ("netcdf", "bufr", "odv").
std::optional<ExportFormat> exportformat(std::string_view word);
std::string_view formatword(ExportFormat f);

struct ExportCounts {
    int exported = 0, bad = 0, tp = 0, notedited = 0;
};

// "DEMO01: 17 drops exported, 1 bad, 1 test probe and 1 not edited skipped":
// the bad drops are among those exported.
std::string exportcountline(std::string_view cruise, const ExportCounts& c);

struct ExportResult {
    bool ok = false;
    std::string message;  // the count line, or why nothing was written
    ExportCounts counts;
};

// Exports the cruise that st holds (its paths, file names, cruise name and
// station table) in each format, into outdir/FORMAT when outdir is given
// (a single format goes straight into outdir), else into
// CRUISEDIR/export/FORMAT.
ExportResult exportcruise(const State& st, std::span<const ExportFormat> formats,
                          const std::optional<std::string>& outdir);

// `dropfix --export`: the cruise found from the working directory, as the
// check command finds it. The exit status: 0, or 1 with the reason on
// standard error.
int exportcommand(ExportFormat format, const std::optional<std::string>& outdir);

// The editor's key: D exports the whole cruise in all three formats, with
// the count line in the status bar. True when the event was that key.
bool exportevent(State& st, int type, const EventRecord& e);
