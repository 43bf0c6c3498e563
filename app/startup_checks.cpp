// Checking the cruise name, control.dat and the names of the editor's files.
#include "app/startup_checks.h"

#include <algorithm>

#include "base/atomic_file.h"
#include "toolkit/toolkit.h"

namespace {

std::string shown(std::string_view name) {
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        out += u < 0x20 || u == 0x7f ? '?' : c;
    }
    return out;
}

// Why a file that is there is refused for not being a regular file, or
// nothing when it is one or is not there: a missing file or one that cannot
// be read has its own message where it is read.
std::optional<std::string> notregular(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const auto why = unreadable(path);
    if (!why || !why->notRegular) return std::nullopt;
    return why->reason;
}

bool isdigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::optional<std::string> cruisenameproblem(std::string_view name) {
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\') return "a path separator";
        if (u == 0) return "a NUL";
        if (u < 0x20 || u == 0x7f) return "a control character";
    }
    if (name.find("..") != std::string_view::npos) return "\"..\"";
    return std::nullopt;
}

Outcome refusecruisename(const ScreenSettings& scr, Log& log) {
    const std::string_view name =
        scr.acruise.cols(1, static_cast<std::size_t>(std::clamp(scr.len_acruise, 0, 13)));
    const auto problem = cruisenameproblem(name);
    if (!problem) return Outcome::proceed();
    const std::string message = "The cruise name in control.dat (\"" + shown(name) + "\") holds " + *problem +
                                "; it begins every drop file name, so it may hold letters, digits and other "
                                "signs, but no / or \\, no \"..\", no NUL and no control character";
    reporterror(log, message);
    return Outcome::exit(1);
}

bool ownfilename(std::string_view name, std::string_view cruise) {
    if (name == "stations.dat") return true;
    if (name.size() != cruise.size() + 5 || name.substr(0, cruise.size()) != cruise) return false;
    const std::string_view rest = name.substr(cruise.size());
    return (rest[0] == 'q' || rest[0] == 'e') && rest[1] == '.' && isdigits(rest.substr(2));
}

void notRegularControl(const PathText& acontrol) {
    if (const auto why = notregular(pathString(acontrol)))
        WMessageBox(0, 3, 1, "Error opening control.dat: " + *why, "Error Info");
}

void notregulardrop(const std::string& path, Log& log) {
    if (const auto why = notregular(path)) reporterror(log, *why + "; it is not read");
}

std::string unreadreason(const std::string& path, int len_acruise) {
    const auto why = unreadable(path);
    std::string out = why ? why->reason : "it holds no profile";
    if (len_acruise <= 0) out += "; control.dat gives no cruise name, which begins every drop file name";
    return out;
}
