// The opening of the main window, the main loop and the commands that do
// not finish a drop.
#include "app/mainloop.h"

#include "app/commands.h"
#include "app/droploading.h"
#include "app/export_command.h"
#include "app/startup.h"
#include "app/summary.h"
#include "base/fields.h"
#include "plot/plot_options.h"
#include "qc/interpolate.h"

namespace {

// The name as the operator knows it; the toolkit gets it mapped to this
// platform.
constexpr std::string_view helpdocument = "c:\\\\xbt-archive\\qcref.htm";

void openwindow(const State& st) {
    WindowRecord w;
    w.flags = WinStyle::SysMenu | WinStyle::MinButton | WinStyle::MaxButton | WinStyle::StatusBar;
    w.menu = 30001;
    w.title = windowtitle(st.acruise, st.len_acruise);
    WindowOpen(w);
}

// Waits in a dialog shown semi-modal until OK (true) or Cancel (false);
// the plot is redrawn meanwhile, every other event is dropped.
bool waitokcancel(State& st, const EventWait& wait) {
    for (;;) {
        int type = 0;
        EventRecord event;
        wait(type, event);
        if (type == EventType::PushButton && (event.data1 == 1 || event.data1 == 2)) return event.data1 == 1;
        if (type == EventType::Expose || type == EventType::Resize) redraw(st);
    }
}

void setnewdigits(DropFiles& files, int drop) {
    putDropDigits(files, DropSlot::Current, dropDigits(drop));
    putDropDigits(files, DropSlot::Previous, dropDigits(drop - 1));
    putDropDigits(files, DropSlot::Next, dropDigits(drop + 1));
}

}  // namespace

void loaddialogs() {
    for (int id : {105, 103, 104, 108, 106}) WDialogLoad(id);
}

Outcome openmain(State& st) {
    if (Outcome o = readStations(st.paths.astations, st.stations, st.startLog, st.mainLog); o.ends())
        return o;
    choosedrop(st.stations, st.files, st.idropnum, st.inext);
    WindowClose();
    openwindow(st);
    WMessageEnable(EventType::FieldChanged, 1);
    loaddialogs();
    st.colours = buildColourTable();
    if (WPanelShown()) showoverview(st);
    return droploading(st);
}

Outcome mainloop(State& st) {
    for (;;) {
        int type = 0;
        EventRecord event;
        WMessage(type, event);
        Outcome o;
        if (type == EventType::MenuSelect) {
            o = dispatch(st, event.data1);
        } else if (type == EventType::Expose || type == EventType::Resize) {
            redraw(st);
        } else if (type == EventType::CloseRequest) {
            o = exitcommand(st);
        } else if (auto a = overviewevent(st, type, event)) {
            o = carryout(st, *a);
        } else if (prescreenevent(st, type, event)) {
        } else if (exportevent(st, type, event)) {
        } else {
            viewevent(st, type, event);
        }
        if (o.ends()) return o;
        followoverview(st);
    }
}

Outcome dispatch(State& st, int command, const EventWait& wait) {
    switch (command) {
        case Command::File: return filecommand(st);
        case Command::Cut:
        case Command::Write: return cutwrite(st);
        case Command::Bad: return bad(st);
        case Command::TP: return tp(st);
        case Command::New: return newdrop(st, wait);
        case Command::Exit: return exitcommand(st);
        case Command::Interpolate: interpolate(st); break;
        case Command::QcCodes: qc(st); break;
        case Command::Restart: restart(st); break;
        case Command::PlotOptions: plotoptionscommand(st, wait); break;
        case Command::Help: helpcommand(); break;
        default: break;
    }
    return Outcome::proceed();
}

Outcome filecommand(State& st) {
    const PathText kept = st.paths.acontrol;
    std::string path = pathString(st.paths.acontrol);
    WSelectFile("Data Files (*.dat)|*.dat|", 168, path, "Select directory with control.dat & s files");
    if (WInfoDialog(4) == 0) return Outcome::proceed();
    if (path.size() > static_cast<std::size_t>(pathmax)) return pathTooLong(TooLong{path}, st.mainLog);
    st.paths.acontrol = PathText(path);
    int icntrlok = 0;
    if (auto e = chkcntrl(st.paths.acontrol, icntrlok, st.paths.ifirst)) return pathTooLong(*e, st.mainLog);
    if (icntrlok != 1) {
        st.paths.acontrol = kept;
        return Outcome::proceed();
    }
    st.paths.idirmode = 2;
    if (auto e = setpath(st.paths, st.files.f1r, st.ierror)) return pathTooLong(*e, st.mainLog);
    st.mainLog.close();
    WindowClose();
    if (Outcome o = startuptail(st); o.ends()) return o;
    return openmain(st);
}

std::string newdropcount(int nlines) {
    return "stations.dat has " + writeI(nlines, 3) + " drops";
}

Outcome newdrop(State& st, const EventWait& wait) {
    WDialogSelect(newdropdialog);
    WDialogPutString(NewDropField::count, newdropcount(st.stations.nlines));
    WDialogShow(4200, 3200, NewDropField::dropnumber, 3);
    const bool ok = waitokcancel(st, wait);
    WDialogSelect(newdropdialog);
    if (!ok) {
        WDialogHide();
        return Outcome::proceed();
    }
    int drop = 1;
    int source = 1;
    WDialogGetInteger(NewDropField::dropnumber, drop);
    WDialogGetRadioButton(NewDropField::source, source);
    // The dialog holds the field to 1..999; an empty field reads as
    // nothing sensible, and must not name a drop outside the table.
    if (drop < 1 || drop > nstamax) drop = 1;
    st.files.ieditktd = source == 2 ? 2 : 1;
    resettemplates(st.files, st.files.ieditktd);
    WDialogHide();
    return gotodrop(st, drop);
}

Outcome gotodrop(State& st, int drop) {
    st.idropnum = drop;
    setnewdigits(st.files, drop);
    st.inext = drop + 1;
    st.i9 = 0;
    return droploading(st);
}

void plotoptionscommand(State& st, const EventWait& wait) {
    plotoptions(
        st.plot, [&st] { redraw(st); }, wait);
}

void helpcommand() {
    WInfoError(1);
    WHelpFile(dosPath(helpdocument));
    if (WInfoError(1) == ToolkitError::HelpMissing) {
        WMessageBox(0, 3, 1, "Error opening " + std::string(helpdocument) + ".", "Error Info");
    }
}

Outcome exitcommand(State& st) {
    WindowClose();
    return announceexit(exitrewrite(st.paths.astations, st.stations, st.mainLog, 0), st.acruise.view(),
                        st.stations);
}

bool viewevent(State& st, int type, const EventRecord& e) {
    const auto view = viewfor(st.plot.view, type, e);
    if (!view) return false;
    if (*view != st.plot.view) {
        st.plot.view = *view;
        redraw(st);
    }
    return true;
}

namespace {
EditContext editcontext(State& st) {
    return EditContext{st.store,
                       st.cut,
                       st.colours,
                       st.plot.ilinewidth,
                       [&st] { redraw(st); },
                       WMessage,
                       [&st](int type, const EventRecord& e) { return viewevent(st, type, e); }};
}
}  // namespace

void qc(State& st, const QcPreset& preset) {
    qcinit();
    WDialogSelect(qcdialog);
    WDialogShow();
    EditContext ctx = editcontext(st);
    ::qc(ctx, st.qcstate, preset);
}

void openfinding(State& st, const Finding& f) {
    if (f.index < 1) {
        WindowStatusText(f.sentence + "; no code of the QC dialog applies (B marks the drop bad)");
        return;
    }
    WindowStatusText(findingtag(f) + ": " + f.sentence);
    qc(st, QcPreset{f.index, f.point});
}

Outcome carryout(State& st, const PanelAction& a) {
    switch (a.kind) {
        case PanelAction::Kind::Done: break;
        case PanelAction::Kind::GoToDrop: WPanelFocusPlot(); return gotodrop(st, a.number);
        case PanelAction::Kind::OpenFinding:
            WPanelFocusPlot();
            openfinding(st, st.findings[std::size_t(a.number - 1)]);
            break;
    }
    return Outcome::proceed();
}

const Finding* nextfinding(std::span<const Finding> findings, const SlotData& cur) {
    for (const Finding& f : findings) {
        if (f.index < 1 || f.point < 1 || f.point > ndepmax) continue;
        if (cur.code[static_cast<std::size_t>(f.point)] == f.code) continue;
        return &f;
    }
    return nullptr;
}

bool prescreenevent(State& st, int type, const EventRecord& e) {
    if (type != EventType::KeyDown || (e.data2 & (Modifier::Ctrl | Modifier::Alt)) != 0) return false;
    switch (e.data1) {
        case 'A':
        case 'a':
            if (const Finding* f = nextfinding(st.findings, st.store[2])) {
                openfinding(st, *f);
            } else {
                WindowStatusText("Drop " + dropDigits(st.idropnum) + ": no suggestion left to apply");
            }
            return true;
        case 'E':
        case 'e': {
            st.check.envelopeon = !st.check.envelopeon;
            if (st.check.envelopeon) st.check.envelope = cruiseenvelope(checkparts(st));
            redraw(st);
            if (!st.check.envelopeon)
                WindowStatusText("Envelope hidden");
            else if (st.check.envelope.empty())
                WindowStatusText("No envelope yet: it needs 3 accepted drops");
            else
                WindowStatusText(
                    "Envelope: mean and 2 standard deviations of the accepted drops, in 2 m bins");
            return true;
        }
        case 'S':
        case 's':
            st.check.sortbyfindings = !st.check.sortbyfindings;
            if (WPanelShown()) showoverview(st);
            WindowStatusText(st.check.sortbyfindings ? "Overview: drops with the worst findings first"
                                                     : "Overview: drops in their order");
            return true;
        default: return false;
    }
}

void interpolate(State& st) {
    EditContext ctx = editcontext(st);
    interpolate(ctx);
}
