// The toolkit layer: the only way the editor reaches the windowing system.
// Operations keep the toolkit's mixed-case names. Failures never come back
// as results: they set the last-error code, read with WInfoError(1).
// This header is free of Qt so that every layer may include it.
#pragma once
#include <span>
#include <string>
#include <string_view>

// ---- Start-up, main window, message boxes (toolkit base) ----

namespace WinStyle {
constexpr int SysMenu = 1, MinButton = 2, MaxButton = 4, Maximised = 8, StatusBar = 32, FixedSize = 64,
              Hidden = 128, AlwaysOnTop = 512;
}

struct WindowRecord {
    int flags = 0;
    int x = -1, y = -1;           // screen pixels; negative centres
    int width = -1, height = -1;  // client pixels; 0 or negative: 80 % of the screen
    int menu = 0;                 // resource id of menu bar, accelerators, status strings
    std::string title;            // up to 80 characters, trailing blanks ignored
};

void WInitialise(std::string_view iniFile = " ");
void WindowOpen(const WindowRecord& window);
void WindowClose();

// buttons 0..5, icon 0..4, defaultButton 1..3; the answer is WInfoDialog(4).
void WMessageBox(int buttons, int icon, int defaultButton, std::string_view message, std::string_view title);
// what = 4: 1 OK/Yes/Retry, 0 Cancel/Ignore or a cancelled file selection, 2 No/Abort.
int WInfoDialog(int what);
// path in: start file or directory; out: the chosen path (unchanged when cancelled).
void WSelectFile(std::string_view filter, int flags, std::string& path, std::string_view title);
void WHelpFile(std::string_view document);
// what = 1: returns the last-error code and resets it to 0.
int WInfoError(int what);

namespace ToolkitError {
constexpr int HelpMissing = 1, BadUnits = 16, BadColour = 42, NoDialog = 1005, BadField = 1006,
              NoTemplate = 1007, NotLoaded = 1008, EmptyValue = 1010, ShownNonModal = 1014,
              CreateFailed = 1088;
}

// ---- Drawing in user units ----

void IGrUnits(float x1, float y1, float x2, float y2);
void IGrColourModel(int model);
constexpr int WRGB(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}
void IGrColourN(int colour);
void IGrMoveTo(float x, float y);
void IGrLineTo(float x, float y);
void IGrLineWidth(int width);
void IGrLineType(int type);
// Marker 14 is a filled dot, 6 a hollow diamond, every other number a plus sign.
void IGrMarker(float x, float y, int number);
// A polygon filled with the current colour, no outline; the clip band holds.
void IGrPolygonFill(std::span<const float> x, std::span<const float> y);
void IGrCharSet(std::string_view name);
void IGrCharSpacing(std::string_view mode);
void IGrCharFont(int number);
void IGrCharSize(float width, float height);
void IGrCharJustify(std::string_view placement);
void WGrTextOrientation(int placement);
void IGrCharOut(float x, float y, std::string_view text);
void WGrTextString(float x, float y, std::string_view text);
// Keeps lines, markers and user-unit texts drawn from now on within the
// band y1..y2 of user units (a zoomed plot keeps its traces inside its frame);
// WindowClear, IGrUnits and IGrClipOff end it.
void IGrClip(float y1, float y2);
void IGrClipOff();
void WindowClear();
// The calls between these two draw the picture's background (the cleared
// window, frame, grids, labels, legend). They are traced as always, but the
// pixels come from a cached image whenever the calls are the same as those
// that made it, on a client area of the same size: only a new size, zoom or
// plot setting paints the background again. Neither call is traced.
void WindowBackgroundBegin();
void WindowBackgroundEnd();
// The editor's own word in the main window's status bar (what the last
// command did); the menu's hover texts show over it only for a moment.
void WindowStatusText(std::string_view text);
void WindowOutString(int x, int y, std::string_view text);
void WindowUnitsToPixels(int x, int y, int& px, int& py);
void IGrUnitsFromPixels(int px, int py, float& x, float& y, int flip = 0);

// ---- Events ----

namespace EventType {
constexpr int KeyDown = 1, MenuSelect = 2, PushButton = 3, MouseButDown = 4, MouseButUp = 5, MouseMove = 6,
              Expose = 7, Resize = 8, CloseRequest = 9, FieldChanged = 10;
}

struct EventRecord {
    int source = 0;  // 0 main window; dialog id for PushButton and FieldChanged
    int data1 = 0, data2 = 0, data3 = 0, data4 = 0;
    int x = 0, y = 0;                     // client pixels, origin top left
    float unitWidth = 0, unitHeight = 0;  // Expose only
    float unitX = 0, unitY = 0;           // user units, y upward
};

// KeyDown data1 of the keys that have no character; data2 of KeyDown and
// the mouse events holds the modifier bits.
namespace KeyCode {
constexpr int Up = 0x01000013, Down = 0x01000015, PageUp = 0x01000016, PageDown = 0x01000017;
}
namespace Modifier {
constexpr int Shift = 1, Ctrl = 2, Alt = 4;
}

void WMessageEnable(int type, int state);
void WMessage(int& type, EventRecord& event);

// ---- Dialogs ----

void WDialogLoad(int id);
void WDialogSelect(int id);
// x, y in window units (-1 centres); focus field or 0; type 1 modal, 2 non-modal, 3 semi-modal.
void WDialogShow(int x = -1, int y = -1, int focus = 0, int type = 2);
void WDialogHide();
void WDialogPutString(int field, std::string_view text);
void WDialogPutReal(int field, float value);
void WDialogPutInteger(int field, int value);
void WDialogPutRadioButton(int field);
void WDialogPutCheckBox(int field, int state);
void WDialogPutMenu(int field, std::span<const std::string> items, int count, int selected);
void WDialogGetReal(int field, float& value);
void WDialogGetInteger(int field, int& value);
void WDialogGetRadioButton(int field, int& index);
void WDialogGetCheckBox(int field, int& state);
void WDialogGetMenu(int field, int& index);
void WDialogFieldState(int field, int state);
void WDialogClearField(int field);
