// plotoptions: the Plot range dialog and the settings it carries.
#include "plot/plot_options.h"

namespace {

// The dialog holds these ranges already; a value outside them can only come
// from a field that was left empty (read back as -999) or could not be read.
template <typename T>
void takeif(T& setting, const std::optional<T>& value, T lo, T hi) {
    if (value && *value >= lo && *value <= hi) setting = *value;
}

std::optional<float> getreal(int field) {
    WInfoError(1);
    float v = 0;
    WDialogGetReal(field, v);
    if (WInfoError(1) != 0) return std::nullopt;
    return v;
}

std::optional<int> getinteger(int field) {
    WInfoError(1);
    int v = 0;
    WDialogGetInteger(field, v);
    if (WInfoError(1) != 0) return std::nullopt;
    return v;
}

std::optional<int> getcheckbox(int field) {
    WInfoError(1);
    int v = 0;
    WDialogGetCheckBox(field, v);
    if (WInfoError(1) != 0) return std::nullopt;
    return v;
}

}  // namespace

void putplotrange(const PlotSettings& settings) {
    WDialogSelect(plotrangedialog);
    WDialogPutReal(PlotRangeField::tmin, settings.tmin);
    WDialogPutReal(PlotRangeField::tmax, settings.tmax);
}

PlotRangeFields readplotrange() {
    WDialogSelect(plotrangedialog);
    PlotRangeFields f;
    f.tmin = getreal(PlotRangeField::tmin);
    f.tmax = getreal(PlotRangeField::tmax);
    f.idepgrid = getcheckbox(PlotRangeField::idepgrid);
    f.itempgrid = getcheckbox(PlotRangeField::itempgrid);
    f.igridstep = getinteger(PlotRangeField::igridstep);
    f.ilinewidth = getinteger(PlotRangeField::ilinewidth);
    f.ihideprev = getcheckbox(PlotRangeField::ihideprev);
    f.ihidenext = getcheckbox(PlotRangeField::ihidenext);
    return f;
}

// The minimum is not required to lie below the maximum: the plot copes with
// that and the operator corrects it with the same command.
void applyplotrange(PlotSettings& s, const PlotRangeFields& f) {
    takeif(s.tmin, f.tmin, -10.0f, 50.0f);
    takeif(s.tmax, f.tmax, -10.0f, 50.0f);
    takeif(s.idepgrid, f.idepgrid, 0, 1);
    takeif(s.itempgrid, f.itempgrid, 0, 1);
    takeif(s.igridstep, f.igridstep, 1, 10);
    takeif(s.ilinewidth, f.ilinewidth, 1, 3);
    takeif(s.ihideprev, f.ihideprev, 0, 1);
    takeif(s.ihidenext, f.ihidenext, 0, 1);
}

bool plotoptions(PlotSettings& settings, const std::function<void()>& redisplaynow, const MessageWait& wait) {
    putplotrange(settings);
    WDialogShow(8100, 4200, 0, 3);
    for (;;) {
        int type = 0;
        EventRecord event;
        wait(type, event);
        if (type == EventType::PushButton && (event.data1 == 1 || event.data1 == 2)) {
            WDialogSelect(plotrangedialog);
            WDialogHide();
            if (event.data1 == 2) return false;
            applyplotrange(settings, readplotrange());
            redisplaynow();
            return true;
        }
        // Menu commands and everything else wait until the dialog is left.
        if (type == EventType::Expose || type == EventType::Resize) redisplaynow();
    }
}
