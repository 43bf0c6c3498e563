// The loaded dialogs and their field store. The store holds every field's
// contents as plain data and is the one truth that the WDialog* operations
// read and write; when a window system is present each dialog also has a Qt
// view whose widgets mirror the store and feed the operator's input back
// into it. Without a window (test mode) the store alone serves, and the
// input helpers below act on it as a person's input would.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "toolkit/templates.h"

namespace toolkit {

// Field states of WDialogFieldState.
enum class FieldState { Disabled = 0, Enabled = 1, ReadOnly = 2, Hidden = 3 };

struct FieldValue {
    std::string text;                // label, static text, or a number field's text
    bool on = false;                 // check box, radio button
    std::vector<std::string> items;  // list
    int selected = 0;                // list, 1-based; 0 nothing selected
    FieldState state = FieldState::Enabled;
};

class DialogView;
struct ViewDeleter {
    void operator()(DialogView* v) const;
};

struct LoadedDialog {
    DialogTemplate tpl;
    std::vector<FieldValue> values;  // by template index
    bool shown = false;
    int currentField = 0;                           // identifier of the field that last took the focus
    std::unique_ptr<DialogView, ViewDeleter> view;  // null without a window

    int id() const { return tpl.id; }
    const FieldTemplate& field(int index) const { return tpl.fields[static_cast<std::size_t>(index)]; }
    FieldValue& value(int index) { return values[static_cast<std::size_t>(index)]; }
    const FieldValue& value(int index) const { return values[static_cast<std::size_t>(index)]; }
};

// Fields as the template and option block leave them after loading.
std::vector<FieldValue> initialValues(const DialogTemplate& t);

// First and last template index of the radio group that holds index.
std::pair<int, int> radioGroup(const DialogTemplate& t, int index);

// A number field's text as a number: blanks around it allowed, nothing when
// empty or not a number.
std::optional<double> readDialogNumber(std::string_view text);

// The first number field that OK must refuse: the focused one first, then
// every other editable one in template order; -1 when all are good.
int firstBadNumberField(const LoadedDialog& d, int focusIndex);

LoadedDialog* findDialog(int id);

// Replaces the source of dialog resources (tests of malformed resources);
// an empty function restores the program's embedded resources.
void setDialogResources(ResourceLookup lookup);

// ---- The operator's input, reported as the toolkit reports a person's ----
// Called by the Qt view on real input, and by the input helpers in test mode.

void fieldTookFocus(LoadedDialog& d, int index);
void radioClicked(LoadedDialog& d, int index);
void checkBoxClicked(LoadedDialog& d, int index, bool on);
void listSelected(LoadedDialog& d, int index, int row);
void textEdited(LoadedDialog& d, int index, std::string text);
// A push button pressed (click, Enter, Escape, close box). OK with a number
// field in error is refused: returns that field's index and reports nothing.
int buttonPressed(LoadedDialog& d, int index);

// ---- Input helpers: what the script commands click, type and select do ----
// Each acts on a shown dialog's field as a person would (focus first, then
// the change); false with a message when dialog or field is not shown.
bool dialogClick(int dialog, int field, std::string& error);
bool dialogType(int dialog, int field, const std::string& text, std::string& error);
bool dialogSelect(int dialog, int field, int row, std::string& error);

// ---- The Qt view, defined in dialogs_view.cpp ----
// The store drives its view through these plain declarations, so that the
// store's code stays free of Qt and the view depends on the store alone: a
// child window of the main window's client area whose widgets mirror the store.

// True when dialogs get widgets: a QApplication exists and the toolkit is
// not in test mode.
bool windowSystemPresent();

// Builds the hidden dialog inside the client area; null with a message when
// there is no client area or the template cannot be laid out.
std::unique_ptr<DialogView, ViewDeleter> createDialogView(LoadedDialog& d, std::string& error);

// Brings the widget of field index in line with the store.
void viewMirror(DialogView& v, int index);
// Shows the dialog at (x, y) window units (-1 centres) and gives the focus
// to field focusIndex, or to the dialog itself when it is -1. A dialog that
// is already shown only comes to the front and takes the focus.
void viewShow(DialogView& v, int x, int y, int focusIndex);
void viewHide(DialogView& v);
// OK refused: a warning sound, and the focus back in the field with all of
// its text selected.
void viewRefuse(DialogView& v, int index);

bool viewClick(DialogView& v, int index, std::string& error);
bool viewType(DialogView& v, int index, const std::string& text, std::string& error);
bool viewSelect(DialogView& v, int index, int row, std::string& error);

// True when the keyboard focus lies in a shown dialog.
bool viewHasKeyboard();

}  // namespace toolkit
