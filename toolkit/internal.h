// Seams between the parts of the toolkit: the event queue and main window
// (window.cpp, events.cpp, drawing.cpp, script.cpp) and the dialogs
// (dialogs.cpp, templates.cpp). Only toolkit/ includes this header.
#pragma once
#include <string>
#include <vector>

#include "toolkit/toolkit.h"

class QWidget;

namespace toolkit {

// The one queue through which every event passes. Events of a type that is
// not enabled are dropped here.
void postEvent(int type, const EventRecord& event);
bool eventEnabled(int type);

// The main window's client area, parent of every dialog; null when closed.
QWidget* clientArea();

// Unloads every dialog and forgets the current one (WindowClose).
void unloadAllDialogs();

// True while a dialog is shown that should take the keys before the main
// window's single-key accelerators.
bool dialogHasKeyboard();

// Script commands served by the dialogs: click, type, select. Returns false
// with a message when the line names a dialog or field that is not shown.
bool runDialogScriptCommand(const std::vector<std::string>& words, std::string& error);

// The panel beside the plot (panel.cpp): whether it has the keyboard, the
// keys of a windowless run given to it, the "overview ROW" script command,
// and a fresh panel for a new test.
bool panelHasKeyboard();
void panelKey(int qtKey);
bool runPanelScriptCommand(const std::vector<std::string>& words, std::string& error);
void resetPanel();

}  // namespace toolkit
