// The Plot range command: the plot settings to and from dialog 108, and the
// command's own wait for OK or Cancel.
#pragma once
#include <functional>
#include <optional>

#include "plot/plot_settings.h"
#include "toolkit/toolkit.h"

inline constexpr int plotrangedialog = 108;

namespace PlotRangeField {
constexpr int tmin = 1022, tmax = 1023, idepgrid = 1047, itempgrid = 1048, igridstep = 1050,
              ilinewidth = 1053, ihideprev = 1040, ihidenext = 1043;
}

// The eight values as read back from the dialog; nothing where a field could
// not be read (left empty, or not in the dialog).
struct PlotRangeFields {
    std::optional<float> tmin, tmax;
    std::optional<int> idepgrid, itempgrid, igridstep, ilinewidth, ihideprev, ihidenext;
};

// Selects dialog 108 and writes tmin and tmax into it; the other fields keep
// what the operator last left in them.
void putplotrange(const PlotSettings& settings);

// Reads the eight fields of dialog 108.
PlotRangeFields readplotrange();

// Takes over every value that was read and lies in its field's range; a
// setting whose field came back empty or out of range keeps its value.
void applyplotrange(PlotSettings& settings, const PlotRangeFields& fields);

using MessageWait = std::function<void(int&, EventRecord&)>;

// The whole command: shows the dialog at (8100, 4200), redraws on Expose and
// Resize while it is up (with the settings in force), and on OK hides it,
// takes the settings over and redraws. Returns false on Cancel, when nothing
// changes. `wait` is the event source, WMessage unless a test supplies one.
bool plotoptions(PlotSettings& settings, const std::function<void()>& redisplaynow,
                 const MessageWait& wait = WMessage);
