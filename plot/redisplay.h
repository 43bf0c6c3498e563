// The full redraw of the plot window from the profile store and the plot
// settings, run on every Expose and Resize and after the Plot range and
// Restart commands.
#pragma once
#include <string_view>

#include "plot/envelope.h"
#include "plot/plot_settings.h"
#include "profile/profile_store.h"

// What the editor lays over the drops: the envelope beneath the traces and
// the marks above them. Both empty unless the operator asked for them.
struct PlotOverlay {
    std::span<const EnvelopeBin> envelope;
    std::span<const PlotMark> marks;
};

// f1r is the previous drop's raw-file name with the cruise prefix of length
// len_f1; its drop digits follow at len_f1 + 3. mess0 is the 42-character
// status line. inextok is 1 when slot 3 holds a next drop. Refreshes the
// caption colours in `colours` from the table, as every redraw does.
void redisplay(const PlotSettings& settings, std::string_view f1r, int len_f1, const ProfileStore& store,
               std::string_view mess0, int inextok, PlotColours& colours, const PlotOverlay& overlay = {});

// The cleared window, the frame with its grids and labels, and the legend:
// the part of every picture that changes only with the window size and the
// plot settings, so the toolkit keeps it in a cached image.
void drawbackground(const PlotSettings& settings, const PlotColours& colours);

// The three drop digits of a drop-file name, or an empty view when the
// name is too short to hold them.
std::string_view dropdigits(std::string_view name, int len_f1);
