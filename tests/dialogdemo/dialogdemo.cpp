// A small program that tests the toolkit's dialogs end to end: a main window
// over a drawn test pattern with the five dialogs loaded. Keys 3, 4, 5, 6
// and 8 show dialog 103, 104, 105, 106 and 108; a push button hides its
// dialog. Every event is printed, and with each push button the contents of
// the dialog's fields, so that a script's effect can be checked.
#include <cstdio>
#include <cstring>
#include <string>

#include "toolkit/dialogs.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace {

const char* eventName(int type) {
    static const char* const names[] = {
        "?",         "KeyDown", "MenuSelect", "PushButton",   "MouseButDown", "MouseButUp",
        "MouseMove", "Expose",  "Resize",     "CloseRequest", "FieldChanged"};
    return type >= 1 && type <= 10 ? names[type] : "Other";
}

void drawPattern() {
    WindowClear();
    IGrUnits(0, 0, 100, 100);
    IGrColourModel(24);
    IGrLineWidth(1);
    for (int i = 0; i <= 100; i += 10) {
        IGrColourN(WRGB(190, 190, 255));
        IGrMoveTo(float(i), 0);
        IGrLineTo(float(i), 100);
        IGrMoveTo(0, float(i));
        IGrLineTo(100, float(i));
    }
    IGrColourN(WRGB(220, 0, 0));
    IGrMoveTo(0, 0);
    IGrLineTo(100, 100);
    IGrColourN(WRGB(0, 140, 0));
    IGrMoveTo(0, 100);
    IGrLineTo(100, 0);
    IGrColourN(0);
    IGrCharSize(1.2f, 1.2f);
    IGrCharJustify("C");
    IGrCharOut(50, 50, "dialog demo");
}

// One line with the state of every field that holds a value.
void printFields(int dialog) {
    const toolkit::LoadedDialog* d = toolkit::findDialog(dialog);
    if (!d) return;
    std::string line = "fields " + std::to_string(dialog);
    for (std::size_t i = 0; i < d->values.size(); ++i) {
        const auto& f = d->tpl.fields[i];
        const auto& v = d->values[i];
        switch (f.kind) {
            case toolkit::FieldKind::Real:
            case toolkit::FieldKind::Integer:
            case toolkit::FieldKind::Spin: line += " " + std::to_string(f.id) + "=\"" + v.text + "\""; break;
            case toolkit::FieldKind::CheckBox:
            case toolkit::FieldKind::Radio:
                if (v.on) line += " " + std::to_string(f.id) + "=on";
                break;
            case toolkit::FieldKind::List:
                line += " " + std::to_string(f.id) + "=row" + std::to_string(v.selected);
                break;
            default: break;
        }
    }
    std::printf("%s\n", line.c_str());
}

void fillDepthList() {
    const std::string rows[] = {"    2.0   24.512   1  ",  "    4.0   24.498   1  ",
                                "    6.0   24.470   1  ",  "    8.0   24.101   2  ",
                                "   10.0   23.877   3 SP", "   12.0   23.650   4 WB"};
    WDialogSelect(105);
    WDialogPutMenu(1029, rows, 6, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const char* script = nullptr;
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc)
            script = argv[++i];
        else if (std::strcmp(argv[i], "--show") == 0)
            show = true;
        else {
            std::fprintf(stderr, "usage: dialogdemo [--script FILE] [--show]\n");
            return 2;
        }
    }
    toolkit::setArguments(argc, argv);
    if (script && !show) toolkit::useOffscreenPlatform();
    WInitialise(" ");
    WindowOpen(WindowRecord{39, -1, -1, 1000, 700, 0, "Dialog demo"});
    WMessageEnable(EventType::FieldChanged, 1);
    for (int id : {103, 104, 105, 106, 108}) {
        WDialogLoad(id);
        if (const int code = WInfoError(1)) std::printf("dialog %d not loaded: code %d\n", id, code);
    }
    fillDepthList();
    drawPattern();
    if (script) {
        std::string error;
        if (!toolkit::startScript(script, error)) {
            std::fprintf(stderr, "dialogdemo: %s\n", error.c_str());
            return 2;
        }
    }
    for (;;) {
        int type = 0;
        EventRecord e;
        WMessage(type, e);
        std::printf("event %s %d %d %d\n", eventName(type), e.source, e.data1, e.data2);
        std::fflush(stdout);
        if (type == EventType::CloseRequest) break;
        if (type == EventType::Expose || type == EventType::Resize) drawPattern();
        if (type == EventType::KeyDown && std::strchr("34568", e.data1) && e.data1 != 0) {
            WDialogSelect(100 + (e.data1 - '0'));
            WDialogShow(-1, -1, 0, 2);
        }
        if (type == EventType::PushButton) {
            printFields(e.source);
            WDialogSelect(e.source);
            WDialogHide();
        }
    }
    WindowClose();
    return 0;
}
