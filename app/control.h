// The cruise's settings file control.dat: rdcntrl reads it in either of its
// two layouts (keyword or positional), getscr hands the cruise name and the
// plot range to the start-up and ends the program when the file cannot be
// opened or read; thresholdsof turns the settings into the pre-screen's
// limits.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "app/outcome.h"
#include "app/paths.h"
#include "base/fixed_text.h"
#include "qc/prescreen.h"

// Every setting that control.dat holds. The editor itself uses only the
// cruise name and the plot range; the others are read, logged and kept.
struct ControlSettings {
    FixedText<8> acruise;
    int len_acruise = 0;
    float tm_pl_mn = 0, tm_pl_mx = 0;
    float xmaxspd = 0, deadmin = 0, dropmin = 0, relodmin = 0;
    float tdzmx = 0, tdzrms = 0, dtdzmn = 0, dtdzth = 0, dtmx = 0, dtmx700 = 0;
    int ichkprofdepth = 0;
    std::array<int, 13> iseq{};  // iseq(1..12)
};

// Every setting at the value it takes when the file gives an unreadable one.
ControlSettings defaultcontrol();

// The pure part of rdcntrl: the bytes of a file that was opened. Settings
// that the file does not give keep their values in s.
void rdcntrlBytes(std::string_view bytes, ControlSettings& s, ErrorFlags& ierror, Log& log);

// rdcntrl on the file at path; ierror(15) = 1 when it cannot be opened.
// why, when given, receives what the plain messages do not say: why the
// file cannot be opened when it is there, or that it is far too large.
void rdcntrl(const std::string& path, ControlSettings& s, ErrorFlags& ierror, Log& log,
             std::string* why = nullptr);

// A plot temperature that is not a finite number from -10 to 50 degrees
// leaves a blank plot: each such value is put back to its default (0 for
// the minimum, 30 for the maximum) and named in the returned words. Equal
// values then give 0 to 30 as ever; a reversed range stays for the plot.
std::vector<std::string> saneplotrange(float& tmin, float& tmax);

// The results that the start-up takes from the control file.
struct ScreenSettings {
    FixedText<13> acruise;
    int len_acruise = 0;
    float tmin = 0, tmax = 0;
};

// Reads the control file into scr (whose tmin and tmax are also the values
// kept when the file gives none). Ends the program with status 1 after its
// message box when the file cannot be opened or read.
// Every setting read, when `all` is given; a setting the file does not name
// keeps its default there.
Outcome getscr(ScreenSettings& scr, const PathText& acontrol, ErrorFlags& ierror, Log& log,
               ControlSettings* all = nullptr);

// The pre-screen's thresholds from the cruise's settings: control.dat names
// seven of them; the rest are the editor's own.
Thresholds thresholdsof(const ControlSettings& cs);
