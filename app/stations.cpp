// Reading, choosing from, updating and writing back the station list.
#include "app/stations.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include <unistd.h>

#include "base/atomic_file.h"
#include "base/fields.h"
#include "toolkit/toolkit.h"

namespace {

constexpr std::size_t maxStationBytes = 64u << 20;

bool isTerminator(std::string_view line) {
    const FixedText<4> four(line);
    return four == "ENDD" || four == " END";
}

int digitOf(char c) {
    return static_cast<int>(static_cast<unsigned char>(c)) - static_cast<int>('0');
}

// Number of integer digits of a field without a decimal point: leading
// blanks are passed over, and the first blank after a digit ends them.
int integerDigits(std::string_view field) {
    int c = 0;
    for (char ch : field) {
        ++c;
        if (ch == ' ') {
            if (c == 1) {
                c = 0;
            } else {
                return c - 1;
            }
        }
    }
    return static_cast<int>(field.size());
}

void splitLine(StationLine& s, const FixedText<70>& line, int istatus) {
    s.alines = line;
    s.afront = FixedText<57>(line.cols(1, 57));
    s.istatus = istatus;
    s.atail = FixedText<8>(line.cols(63, 70));
    s.adropno = FixedText<3>(line.cols(2, 4));
    s.aflag = FixedText<1>(line.cols(10, 10));
    s.adate = FixedText<8>(line.cols(19, 26));
    s.atime = FixedText<8>(line.cols(28, 35));
    s.alat = FixedText<7>(line.cols(38, 44));
    s.alon = FixedText<7>(line.cols(47, 53));
    for (std::size_t c = 1; c <= 8; ++c) {
        if (s.adate.at(c) == ' ') s.adate.set(c, '0');
        if (s.atime.at(c) == ' ') s.atime.set(c, '0');
    }
}

void warn(StationRead& r, std::string_view text) {
    r.events.push_back({StationEvent::Kind::Warning, std::string(text)});
}
void startLog(StationRead& r, std::string text) {
    r.events.push_back({StationEvent::Kind::StartLog, std::move(text)});
}

// The drop number under which a line is filed, from its first four
// characters, or 0 when the line has no place in the table.
int fileddrop(const FixedText<4>& four) {
    const float value = ch2real(four.view(), 2, 3);
    return value >= 1.0f && value < 1000.0f ? static_cast<int>(value) : 0;
}

// The warnings of one line's first four characters; the drop number, or 0
// when the line has no place in the table.
int dropNumber(const FixedText<4>& four, StationRead& r) {
    if (four == "    ") warn(r, "Edit (wordpad!) stations.dat to remove blank lines!");
    const float value = ch2real(four.view(), 2, 3);
    if (value <= 0.0f || value > 999.0f)
        warn(r, "Edit (wordpad!) stations.dat to remove garbage characters!");
    if (value >= 1000.0f) warn(r, "Maximum number of lines reached in stations.dat!");
    return fileddrop(four);
}

Outcome failWith(Log& mainLog, std::string_view record, std::string_view message) {
    reporterror(mainLog, record, message);
    return Outcome::exit(1);
}

// A failed write is told as the writers of the drop files tell theirs.
std::string writeMessage(const std::string& path, const WriteResult& w) {
    return "Error writing " + path + ": " + w.reason;
}

// The plain messages say nothing of a file that is there but cannot be
// read; the reason follows them then, and goes to the log too.
std::string detailof(const std::string& path) {
    const auto why = unreadable(path);
    return why && !why->missing ? why->reason : std::string();
}

Outcome failWithDetail(Log& mainLog, std::string_view record, std::string_view message,
                       const std::string& detail) {
    if (detail.empty()) return failWith(mainLog, record, message);
    mainLog.record(record);
    return failWith(mainLog, detail, std::string(message) + " " + detail);
}

Outcome openFailure(Log& mainLog, const std::string& detail = {}) {
    return failWithDetail(mainLog, " OMQA: error opening stations.dat ",
                          "Error opening stations.dat, are you in correct dir?", detail);
}
Outcome readFailure(Log& mainLog, const std::string& detail = {}) {
    return failWithDetail(mainLog, " OMQA: error reading stations.dat ",
                          "Error reading stations.dat, is it corrupted?", detail);
}

// The whole file, or false when it cannot be read or is too large to be
// written back whole.
bool readWhole(const std::string& path, std::string& bytes) {
    return readFileBytes(path, bytes, maxStationBytes) && bytes.size() < maxStationBytes;
}

constexpr std::string_view journalName = ".stations.dat.journal";

// The journal of one drop line: its front and tail must still be those of
// the table's line, or the journal belongs to another list.
std::optional<int> journaledStatus(std::string_view raw, const StationTable& table, int& drop) {
    if (raw.size() != 70) return std::nullopt;
    const FixedText<70> line(raw);
    drop = fileddrop(FixedText<4>(raw));
    if (drop < 1 || drop > table.nlines) return std::nullopt;
    const StationLine& s = table[drop];
    if (line.cols(1, 57) != s.afront.view() || line.cols(63, 70) != s.atail.view()) return std::nullopt;
    const auto status = readIntField(line.cols(58, 62));
    if (!status || *status < -99999 || *status > 99999) return std::nullopt;
    return static_cast<int>(*status);
}

// "003", "003 and 004", "003, 004 and 005".
std::string dropList(const StationTable& table, const std::vector<int>& drops) {
    std::string out;
    for (std::size_t i = 0; i < drops.size(); ++i) {
        if (i > 0) out += i + 1 == drops.size() ? " and " : ", ";
        out += table[drops[i]].adropno.view();
    }
    return out;
}

void applyJournalFile(const PathText& astations, StationTable& table, Log& startLogFile) {
    std::string bytes;
    if (const ReadResult r = readRegularFile(journalPath(astations), bytes, maxStationBytes, Links::Refuse);
        !r) {
        // No journal is the usual case: the last run ended with its rewrite.
        if (!r.missing) {
            reporterror(startLogFile, "Error reading the journal: " + r.reason + "; it is not applied");
        }
        return;
    }
    const std::vector<int> drops = applyjournal(bytes, table);
    if (drops.empty()) return;
    const std::string message = restoredMessage(table, drops);
    startLogFile.record(message);
    startLogFile.flush();
    WMessageBox(0, 4, 1, message, "Statuses restored");
}

}  // namespace

float ch2real(std::string_view text, int first, int width) {
    auto ch = [&](int pos) { return pos >= 1 && pos <= static_cast<int>(text.size()) ? text[pos - 1] : ' '; };
    bool negative = false;
    if (width > 0 && ch(first) == '-') {
        negative = true;
        ++first;
        --width;
    }
    if (width <= 0) return 0.0f;
    std::string field;
    for (int i = 0; i < width; ++i) field += ch(first + i);
    const auto dot = field.find('.');
    const int n = dot != std::string::npos ? static_cast<int>(dot) : integerDigits(field);
    const int nfrac = dot != std::string::npos ? width - static_cast<int>(dot) - 1 : 0;
    for (char& c : field) {
        if (c == ' ') c = '0';
    }
    float value = 0.0f;
    float place = 1.0f;
    for (int i = n - 1; i >= 0; --i, place *= 10.0f) {
        value += static_cast<float>(digitOf(field[static_cast<std::size_t>(i)])) * place;
    }
    static constexpr float fraction[7] = {0.1f, 0.01f, 0.001f, 0.0001f, 0.00001f, 0.000001f, 0.0000001f};
    for (int j = 0; j < nfrac && j < 7; ++j) {
        value += static_cast<float>(digitOf(field[dot + 1 + static_cast<std::size_t>(j)])) * fraction[j];
    }
    return negative ? -value : value;
}

StationRead parseStations(std::string_view bytes, StationTable& table) {
    StationRead r;
    // Nothing of an earlier list (another cruise directory) may survive.
    // Only the lines up to nlines are ever filled or changed, so clearing
    // those suffices, and a short list is read without touching 999 lines.
    const int used = std::clamp(table.nlines, 0, nstamax);
    std::fill_n(table.line.begin(), used + 1, StationLine{});
    table.nlines = 0;
    LineReader lines(bytes);
    int lineno = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string_view raw;
        if (!lines.next(raw)) break;
        ++lineno;
        const FixedText<4> four(raw);
        // A list that ends before its first drop line has nothing to edit.
        // Before that line only "ENDD" ends the list: " END" there is a
        // line without a drop number, warned about and passed over, so that
        // the drops after it are read and written back.
        if (four == "ENDD" || (table.nlines >= 1 && isTerminator(raw))) {
            if (table.nlines == 0) r.failure = StationFailure::EndOfFile;
            return r;
        }
        const int drop = dropNumber(four, r);
        const FixedText<70> line(raw);
        if (drop == 0) {
            startLog(r, "stations.dat line " + std::to_string(lineno) +
                            " skipped, no drop number 1 to 999: " + line.str());
            continue;
        }
        ++table.nlines;
        startLog(r, line.str());
        if (drop != table.nlines) {
            r.failure = StationFailure::Order;
            r.orderLine = table.nlines;
            r.orderDrop = drop;
            return r;
        }
        const auto status = readIntField(line.cols(58, 62));
        if (!status || *status < -99999 || *status > 99999) {
            r.failure = StationFailure::Read;
            r.badLine = lineno;
            r.badText = line.str();
            return r;
        }
        splitLine(table[drop], line, static_cast<int>(*status));
    }
    if (table.nlines == 0) r.failure = StationFailure::EndOfFile;
    return r;
}

Outcome readStations(const PathText& astations, StationTable& table, Log& startLogFile, Log& mainLog) {
    const std::string path = pathString(astations);
    if (!canOpen(path)) return openFailure(mainLog, detailof(path));
    table.nlines = 0;
    startLogFile.record("read: ", astations);
    std::string bytes;
    if (!readWhole(path, bytes)) {
        startLogFile.flush();
        return readFailure(mainLog, detailof(path));
    }
    const StationRead r = parseStations(bytes, table);
    for (const auto& e : r.events) {
        if (e.kind == StationEvent::Kind::StartLog) {
            startLogFile.record(e.text);
        } else {
            startLogFile.flush();
            WMessageBox(0, 3, 1, e.text, "Error Info");
        }
    }
    startLogFile.flush();
    switch (r.failure) {
        case StationFailure::None:
            applyJournalFile(astations, table, startLogFile);
            return Outcome::proceed();
        case StationFailure::Read: return readFailure(mainLog, stationfailurewords(r, path));
        case StationFailure::EndOfFile:
            mainLog.record(" OMQA: end of file in stations.dat ");
            mainLog.flush();
            // Without a word the editor would simply vanish.
            WMessageBox(0, 3, 1, stationfailurewords(r, path), "Error Info");
            return exitrewrite(astations, table, mainLog, 1);
        case StationFailure::Order: {
            // Writing such a list back would put lines under the wrong drops
            // and lose stations, so the file is left as it is.
            const std::string message = "stations.dat must list drops 1, 2, 3, ... in order: line " +
                                        std::to_string(r.orderLine) + " holds drop " +
                                        std::to_string(r.orderDrop);
            return failWith(mainLog, message, message);
        }
    }
    return Outcome::exit(1);
}

void choosedrop(const StationTable& table, DropFiles& files, int& idropnum, int& inext) {
    idropnum = 0;
    for (int i = 1; i <= table.nlines && i <= nstamax; ++i) {
        const std::string_view digits = table[i].alines.cols(2, 4);
        putDropDigits(files, DropSlot::Current, digits);
        const float value = ch2real(digits, 1, 3);
        if (!(value >= 1.0f && value < 1000.0f)) continue;
        const int d = static_cast<int>(value);
        if (table[d].istatus == 0) {
            idropnum = d;
            break;
        }
        if (table[d].istatus == 1) putDropDigits(files, DropSlot::Previous, digits);
    }
    if (idropnum == 0) {
        idropnum = 1;
        putDropDigits(files, DropSlot::Previous, "000");
        putDropDigits(files, DropSlot::Current, "001");
        putDropDigits(files, DropSlot::Next, "002");
    }
    inext = idropnum + 1;
    if (inext <= table.nlines) putDropDigits(files, DropSlot::Next, table[inext].alines.cols(2, 4));
}

void updatestatus(StationTable& table, int idropnum, int status) {
    if (idropnum < 1 || idropnum > std::min(table.nlines, nstamax)) return;
    StationLine& s = table[idropnum];
    s.istatus = status;
    s.alines.putField(1, 57, s.afront.view());
    s.alines.putField(58, 62, writeI(status, 5));
    s.alines.putField(63, 70, s.atail.view());
}

void writeinfoesedit(SlotLabel& ainfo, const StationTable& table, int drop) {
    if (drop < 1 || drop > nstamax) return;
    const StationLine& s = table[drop];
    ainfo.putField(7, 13, s.alat.view());
    ainfo.putField(14, 20, s.alon.view());
    ainfo.set(6, ' ');
    ainfo.set(13, ' ');
    ainfo.set(20, 'T');
    ainfo.set(21, s.aflag.at(1));
}

std::string stationsBytes(const StationTable& table, std::string_view fileAtExit, int& nlinesnow) {
    std::string out;
    out.reserve((fileAtExit.size() / 60 + static_cast<std::size_t>(table.nlines) + 2) * 71);
    auto put = [&out](std::string_view line) {
        out += FixedText<70>(line).view();
        out += '\n';
    };
    LineReader lines(fileAtExit);
    std::string_view raw;
    int drops = 0;
    nlinesnow = 0;
    while (lines.next(raw)) {
        const FixedText<4> four(raw);
        // As in the reading, " END" before the first drop line does not end
        // a list that has drops; in a list without any it does.
        if (four == "ENDD" || (four == " END" && (drops >= 1 || table.nlines == 0))) break;
        // Every line keeps its place: the k-th drop line becomes the table's
        // line k with its new status, and any other line is written as found.
        const bool dropline = fileddrop(four) != 0;
        // Lines that the reading passed over among the table's drops are not
        // lines the file gained, so they do not count for the "differs" record.
        if (dropline || drops >= table.nlines) ++nlinesnow;
        if (dropline) ++drops;
        put(dropline && drops <= table.nlines ? table[drops].alines.view() : raw);
    }
    // Drop lines that vanished from the file while the editor ran still hold
    // statuses of this run: they are written before the terminator.
    for (int i = drops + 1; i <= table.nlines && i <= nstamax; ++i) put(table[i].alines.view());
    out += "ENDDATA\n";
    return out;
}

std::string journalPath(const PathText& astations) {
    const std::string path = pathString(astations);
    const auto slash = path.find_last_of(pathsep);
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           std::string(journalName);
}

void journalstatus(const PathText& astations, const StationTable& table, int drop, Log& mainLog) {
    if (drop < 1 || drop > std::min(table.nlines, nstamax)) return;
    const std::string path = journalPath(astations);
    if (const WriteResult w =
            appendFileSynced(path, std::string(table[drop].alines.view()) + "\n", Links::Refuse);
        !w) {
        const std::string message = writeMessage(path, w);
        reporterror(mainLog, message);
    }
}

std::vector<int> applyjournal(std::string_view journal, StationTable& table) {
    // A line cut short by a kill during its append has no line end.
    journal = journal.substr(0, journal.find_last_of('\n') + 1);
    std::vector<std::pair<int, int>> before;  // drop, status in the list
    LineReader lines(journal);
    std::string_view raw;
    while (lines.next(raw)) {
        int drop = 0;
        const auto status = journaledStatus(raw, table, drop);
        if (!status) continue;
        before.emplace_back(drop, table[drop].istatus);
        updatestatus(table, drop, *status);
    }
    // A drop stored twice is named once, and only when its status changed.
    std::vector<int> restored;
    std::stable_sort(before.begin(), before.end(), [](auto a, auto b) { return a.first < b.first; });
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto [drop, status] = before[i];
        const bool first = i == 0 || before[i - 1].first != drop;
        if (first && table[drop].istatus != status) restored.push_back(drop);
    }
    return restored;
}

std::string stationfailurewords(const StationRead& r, const std::string& path) {
    switch (r.failure) {
        case StationFailure::None: return {};
        case StationFailure::Read:
            return "Line " + std::to_string(r.badLine) + " of " + path +
                   " has no whole number as its status (columns 58-62): \"" + r.badText + "\"";
        case StationFailure::EndOfFile:
            return path + " lists no drop before its end; there is nothing to edit";
        case StationFailure::Order:
            return "stations.dat must list drops 1, 2, 3, ... in order: line " + std::to_string(r.orderLine) +
                   " holds drop " + std::to_string(r.orderDrop);
    }
    return {};
}

std::string restoredMessage(const StationTable& table, const std::vector<int>& drops) {
    const bool one = drops.size() == 1;
    return std::string("The last session ended before stations.dat was written; ") +
           (one ? "the status of drop " : "the statuses of drops ") + dropList(table, drops) +
           (one ? " is" : " are") + " restored from its journal";
}

Outcome exitrewrite(const PathText& astations, const StationTable& table, Log& mainLog, int status) {
    const std::string path = pathString(astations);
    if (!canOpen(path)) return openFailure(mainLog, detailof(path));
    std::string before;
    if (!readWhole(path, before)) return readFailure(mainLog, detailof(path));
    int nlinesnow = 0;
    const std::string bytes = stationsBytes(table, before, nlinesnow);
    if (nlinesnow != table.nlines) {
        mainLog.record("stations.dat differs from begining of edit sesson");
        mainLog.record(table.nlines, nlinesnow);
        mainLog.flush();
    }
    if (const WriteResult w = replaceFileAtomically(path, bytes); !w) {
        const std::string message = writeMessage(path, w);
        return failWith(mainLog, message, message);
    }
    // The list now holds every status of the run. A list read without drops
    // had no journal applied, so its journal stays for a list that has them.
    if (table.nlines >= 1) ::unlink(journalPath(astations).c_str());
    return Outcome::exit(status);
}
