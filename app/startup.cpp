// The start-up: logs, cruise directory, paths, control.dat, the window
// title and the drop-file templates.
#include "app/startup.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/startup_checks.h"
#include "base/atomic_file.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace {

// The hidden window that parents the selection dialog and the message
// boxes of the start-up.
void openTemporaryWindow() {
    WindowRecord w;
    w.flags = WinStyle::Hidden;
    WindowOpen(w);
}

Outcome workingDirectory(State& st) {
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    if (cwd.size() > static_cast<std::size_t>(pathmax)) return pathTooLong(TooLong{cwd}, st.startLog);
    st.paths.acwd = PathText(cwd);
    st.paths.len_acwd = static_cast<int>(st.paths.acwd.trimmedLength());
    st.startLog.record("dropfix,acwd=", st.paths.acwd);
    st.startLog.record("len_acwd=", st.paths.len_acwd);
    return Outcome::proceed();
}

Outcome pointerFile(State& st) {
    Paths& p = st.paths;
    if (auto e = getdir(p.adir, p.len_adir, st.ierror)) return pathTooLong(*e, st.startLog);
    st.startLog.record("pcwin ");
    st.startLog.record("after getdir,zuldir.txt=");
    st.startLog.record(p.adir.cols(1, static_cast<std::size_t>(std::max(p.len_adir, 0))));
    for (int i = 1; i <= 50; ++i) {
        if (st.ierror[static_cast<std::size_t>(i)] != 0) {
            st.startLog.record("ierror(", i, ")=", st.ierror[static_cast<std::size_t>(i)]);
        }
    }
    st.startLog.flush();
    return Outcome::proceed();
}

// Started from the installation folder ("Execs") or from the
// directory that zuldir.txt names, the pointer file decides; started
// anywhere else, the working directory is the cruise directory.
Outcome directoryMode(State& st) {
    Paths& p = st.paths;
    p.idirmode = 1;
    p.idatadir = 1;
    p.ifirst = 1;
    if (p.acwd.cols(28, 32) == "Execs") return Outcome::proceed();
    if (!blankEqual(p.acwd.cols(1, 36), p.adir.cols(1, 36))) {
        p.idirmode = 2;
        p.idatadir = 0;
        const std::string control =
            std::string(p.acwd.cols(1, static_cast<std::size_t>(p.len_acwd))) + pathsep + "control.dat";
        if (control.size() > static_cast<std::size_t>(pathmax))
            return pathTooLong(TooLong{control}, st.startLog);
        p.acontrol = PathText(control);
    }
    return Outcome::proceed();
}

Outcome buildPaths(State& st) {
    if (auto e = setpath(st.paths, st.files.f1r, st.ierror)) return pathTooLong(*e, st.startLog);
    st.startLog.record("astations=", st.paths.astations);
    st.startLog.record("acontrol=", st.paths.acontrol);
    st.startLog.record("adir=", st.paths.adir);
    st.startLog.record("adropfix=", st.paths.adropfix);
    st.startLog.flush();
    return Outcome::proceed();
}

Outcome checkControl(State& st) {
    int icntrlok = 0;
    openTemporaryWindow();
    notRegularControl(st.paths.acontrol);
    const PathCheck e = chkcntrl(st.paths.acontrol, icntrlok, st.paths.ifirst);
    WindowClose();
    if (e) return pathTooLong(*e, st.startLog);
    // The operator cancelled the selection: nothing to edit, no message.
    if (icntrlok != 1) return Outcome::exit(0);
    if (st.paths.ifirst == 0) {
        st.paths.idirmode = 2;
        return buildPaths(st);
    }
    return Outcome::proceed();
}

Outcome openMainLog(State& st) {
    const Paths& p = st.paths;
    std::string why;
    if (!st.mainLog.open(pathString(p.adropfix), &why)) {
        st.startLog.record("cannot create dropfix.log:", p.adropfix);
        st.startLog.flush();
        return startFailure("cannot create " + pathString(p.adropfix), " (" + why + ")");
    }
    st.mainLog.record("adropfix=", p.adropfix);
    st.mainLog.record("astations=", p.astations);
    st.mainLog.record("acontrol=", p.acontrol);
    st.mainLog.record("adir=", p.adir);
    st.mainLog.record("f1r=", st.files.f1r);
    st.mainLog.flush();
    return Outcome::proceed();
}

// A run killed while it replaced a cruise file left its temporary file
// beside it; the next run clears it away before it writes anything there.
// Of the older names only those made for the editor's own files are its
// debris: a user may well keep "notes.tmp-250311" there.
void removeDebris(State& st) {
    const std::string cruise(st.acruise.cols(1, static_cast<std::size_t>(std::clamp(st.len_acruise, 0, 13))));
    const auto own = [&cruise](std::string_view name) { return ownfilename(name, cruise); };
    const auto removed = removeTemporaryFiles(cruisedirectory(st.paths), own);
    for (const auto& f : removed) st.startLog.record("removed temporary file of a killed run: " + f);
    if (!removed.empty()) st.startLog.flush();
}

Outcome readControl(State& st) {
    openTemporaryWindow();
    ScreenSettings scr{st.acruise, st.len_acruise, st.plot.tmin, st.plot.tmax};
    ControlSettings all;
    if (Outcome o = getscr(scr, st.paths.acontrol, st.ierror, st.mainLog, &all); o.ends()) return o;
    if (Outcome o = refusecruisename(scr, st.mainLog); o.ends()) return o;
    st.thresholds = thresholdsof(all);
    st.acruise = scr.acruise;
    st.len_acruise = scr.len_acruise;
    st.plot.tmin = scr.tmin;
    st.plot.tmax = scr.tmax;
    st.mainLog.record("acruise=", st.acruise, " len_acruise=", st.len_acruise);
    st.mainLog.record("tmin=", st.plot.tmin, " tmax=", st.plot.tmax);
    st.mainLog.flush();
    return Outcome::proceed();
}

}  // namespace

std::string cruisedirectory(const Paths& p) {
    return p.len_dirpath > 0 ? std::string(p.astations.cols(1, static_cast<std::size_t>(p.len_dirpath)))
                             : ".";
}

Outcome lockcruise(State& st, std::string& takeover) {
    const LockAttempt a = st.lock.take(cruisedirectory(st.paths));
    using R = LockAttempt::Result;
    if (a.result == R::Held || a.result == R::Refused) {
        const std::string message =
            a.result == R::Held ? heldMessage(a) : a.why + "; this editor ends without changing any file";
        std::fprintf(stderr, "dropfix: %s\n", message.c_str());
        WMessageBox(0, 3, 1, message, a.result == R::Held ? "Cruise in use" : "Error Info");
        return Outcome::exit(1);
    }
    if (a.result == R::TakenOver) takeover = takeoverRecord(a.holder);
    // A script that ends the program ends it past every destructor.
    toolkit::atScriptEnd([&lock = st.lock] { lock.release(); });
    return Outcome::proceed();
}

Outcome startFailure(std::string_view reason, std::string_view detail) {
    std::fprintf(stderr, "dropfix: %.*s\n", static_cast<int>(reason.size()), reason.data());
    // Started from a desktop, the operator never sees standard error.
    if (!toolkit::windowSystemReachable()) return Outcome::exit(1);
    WInitialise(" ");
    std::string message = std::string(reason) + std::string(detail);
    if (!message.empty())
        message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
    WMessageBox(0, 3, 1, message, "Error Info");
    return Outcome::exit(1);
}

Outcome pathTooLong(const TooLong& p, Log& log) {
    reporterror(log, std::string(tooLongMessage) + p.path);
    return Outcome::exit(1);
}

std::string windowtitle(const FixedText<13>& acruise, int len_acruise) {
    FixedText<15> title("Dropfix");
    const int m = std::clamp(len_acruise, 0, 7);
    title.put(9, acruise.cols(1, static_cast<std::size_t>(m)));
    return title.str();
}

Outcome locatecruise(State& st) {
    for (auto step : {workingDirectory, pointerFile, directoryMode, buildPaths}) {
        if (Outcome o = step(st); o.ends()) return o;
    }
    return Outcome::proceed();
}

Outcome startup(State& st) {
    st.fallrate = FallRate{};
    st.plot.ihideprev = 0;
    st.plot.ihidenext = 0;
    st.ierror.fill(0);
    WInitialise(" ");
    // Held until the cruise is locked: an editor that finds its cruise in use
    // leaves the other's start log as it was.
    std::string why;
    if (!st.startLog.openHeld("dropfix-start.log", &why)) {
        // From a desktop the working directory is not obvious: the box names it.
        std::error_code ec;
        return startFailure("cannot create dropfix-start.log in the working directory",
                            " " + std::filesystem::current_path(ec).string() + " (" + why + ")");
    }
    // Ending before the cruise is known, the run has no lock to respect.
    for (auto step : {locatecruise, checkControl}) {
        if (Outcome o = step(st); o.ends()) {
            st.startLog.release();
            return o;
        }
    }
    return startuptail(st);
}

Outcome startuptail(State& st) {
    st.i9 = 0;
    st.files.ieditktd = 1;
    std::string takeover;
    if (Outcome o = lockcruise(st, takeover); o.ends()) return o;
    st.startLog.release();
    if (Outcome o = openMainLog(st); o.ends()) return o;
    if (!takeover.empty()) {
        st.mainLog.record(takeover);
        st.mainLog.flush();
    }
    blankDropFiles(st.files);
    if (Outcome o = readControl(st); o.ends()) return o;
    removeDebris(st);
    if (auto e = buildTemplates(st.files, st.paths.len_dirpath, st.acruise, st.len_acruise)) {
        return pathTooLong(*e, st.mainLog);
    }
    return Outcome::proceed();
}
