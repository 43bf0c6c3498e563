// FIXME: stand-ins for the dialog operations and the dialog seam until the
// dialogs replace them; the dialogs hold nothing here. The seam functions are
// weak so that the real ones win as soon as they are linked.
#include "toolkit/internal.h"
#include "toolkit/toolkit.h"

namespace toolkit {
[[gnu::weak]] void unloadAllDialogs() {}
[[gnu::weak]] bool dialogHasKeyboard() { return false; }
[[gnu::weak]] bool runDialogScriptCommand(const std::vector<std::string>& words, std::string& error) {
    error = "no dialog \"" + (words.size() > 1 ? words[1] : std::string()) + "\" is shown";
    return false;
}
}  // namespace toolkit

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
