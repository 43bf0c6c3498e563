// FIXME: headless stand-ins for the toolkit operations until the Qt backend
// replaces them. Message boxes and file selections follow the session queue,
// drawing goes to the trace, dialogs hold nothing.
#include "base/fixed_text.h"
#include "toolkit/session_internal.h"
#include "toolkit/toolkit.h"

using toolkit::session;
using toolkit::traceCall;

namespace {
int defaultExitCode(int buttons, int defaultButton) {
    static const toolkit::Answer table[6][3] = {
        {toolkit::Answer::Ok, toolkit::Answer::Ok, toolkit::Answer::Ok},
        {toolkit::Answer::Ok, toolkit::Answer::Cancel, toolkit::Answer::Cancel},
        {toolkit::Answer::Retry, toolkit::Answer::Cancel, toolkit::Answer::Cancel},
        {toolkit::Answer::Yes, toolkit::Answer::No, toolkit::Answer::No},
        {toolkit::Answer::Yes, toolkit::Answer::No, toolkit::Answer::Cancel},
        {toolkit::Answer::Abort, toolkit::Answer::Retry, toolkit::Answer::Ignore}};
    if (buttons < 0 || buttons > 5) buttons = 0;
    if (defaultButton < 1 || defaultButton > 3) defaultButton = 1;
    return toolkit::exitCodeFor(table[buttons][defaultButton - 1]);
}
}  // namespace

void WInitialise(std::string_view) { session().lastError = 0; }
void WindowOpen(const WindowRecord&) {}
void WindowClose() {}

void WMessageBox(int buttons, int icon, int defaultButton, std::string_view message, std::string_view title) {
    toolkit::BoxRecord r{buttons, icon, defaultButton, std::string(trimRight(message)), std::string(trimRight(title)), 0, false};
    auto& s = session();
    if (!s.answers.empty()) {
        r.exitCode = toolkit::exitCodeFor(s.answers.front());
        s.answers.pop_front();
    } else {
        r.exitCode = defaultExitCode(buttons, defaultButton);
        r.usedDefault = true;
    }
    s.lastDialogExit = r.exitCode;
    s.boxes.push_back(r);
}

int WInfoDialog(int what) { return what == 4 ? session().lastDialogExit : 0; }

void WSelectFile(std::string_view filter, int, std::string& path, std::string_view title) {
    auto& s = session();
    toolkit::FileRecord r{std::string(filter), std::string(trimRight(title)), path, std::nullopt};
    if (!s.files.empty()) {
        r.chosen = s.files.front();
        s.files.pop_front();
    }
    if (r.chosen) path = *r.chosen;
    s.lastDialogExit = r.chosen ? 1 : 0;
    s.fileRecords.push_back(r);
}

void WHelpFile(std::string_view) { session().lastError = ToolkitError::HelpMissing; }
int WInfoError(int) { return std::exchange(session().lastError, 0); }

void IGrUnits(float x1, float y1, float x2, float y2) { traceCall("IGrUnits", {x1, y1, x2, y2}); }
void IGrColourModel(int m) { traceCall("IGrColourModel", {double(m)}); }
void IGrColourN(int c) { traceCall("IGrColourN", {double(c)}); }
void IGrMoveTo(float x, float y) { traceCall("IGrMoveTo", {x, y}); }
void IGrLineTo(float x, float y) { traceCall("IGrLineTo", {x, y}); }
void IGrLineWidth(int w) { traceCall("IGrLineWidth", {double(w)}); }
void IGrLineType(int t) { traceCall("IGrLineType", {double(t)}); }
void IGrMarker(float x, float y, int n) { traceCall("IGrMarker", {x, y, double(n)}); }
void IGrCharSet(std::string_view n) { traceCall("IGrCharSet", {}, n); }
void IGrCharSpacing(std::string_view m) { traceCall("IGrCharSpacing", {}, m); }
void IGrCharFont(int n) { traceCall("IGrCharFont", {double(n)}); }
void IGrCharSize(float w, float h) { traceCall("IGrCharSize", {w, h}); }
void IGrCharJustify(std::string_view p) { traceCall("IGrCharJustify", {}, p); }
void WGrTextOrientation(int p) { traceCall("WGrTextOrientation", {double(p)}); }
void IGrCharOut(float x, float y, std::string_view t) { traceCall("IGrCharOut", {x, y}, t); }
void WGrTextString(float x, float y, std::string_view t) { traceCall("WGrTextString", {x, y}, t); }
void WindowClear() { traceCall("WindowClear", {}); }
void WindowOutString(int x, int y, std::string_view t) { traceCall("WindowOutString", {double(x), double(y)}, t); }
void WindowUnitsToPixels(int x, int y, int& px, int& py) {
    px = (1600 - 1) * x / 9999;
    py = (1000 - 1) * y / 9999;
}
void IGrUnitsFromPixels(int, int, float& x, float& y, int) { x = y = 0; }

void WMessageEnable(int, int) {}
void WMessage(int& type, EventRecord& e) {
    type = EventType::CloseRequest;
    e = {};
}

void WDialogLoad(int) {}
void WDialogSelect(int) {}
void WDialogShow(int, int, int, int) {}
void WDialogHide() {}
void WDialogPutString(int, std::string_view) {}
void WDialogPutReal(int, float) {}
void WDialogPutInteger(int, int) {}
void WDialogPutRadioButton(int) {}
void WDialogPutCheckBox(int, int) {}
void WDialogPutMenu(int, std::span<const std::string>, int, int) {}
void WDialogGetReal(int, float& v) { v = -999.0f; }
void WDialogGetInteger(int, int& v) { v = -999; }
void WDialogGetRadioButton(int, int& i) { i = 0; }
void WDialogGetCheckBox(int, int& s) { s = 0; }
void WDialogGetMenu(int, int& i) { i = -999; }
void WDialogFieldState(int, int) {}
void WDialogClearField(int) {}
