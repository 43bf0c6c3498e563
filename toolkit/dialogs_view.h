// The Qt side of a loaded dialog, seen from the field store: a child window
// of the main window's client area whose widgets mirror the store. Plain
// declarations so that the store's code stays free of Qt.
#pragma once
#include <memory>
#include <string>

#include "toolkit/dialogs.h"

namespace toolkit {

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
