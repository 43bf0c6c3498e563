// The cruise overview's rows: what each drop's files give, read only when
// they change, and the order the rows are shown in.
#include "app/overview_rows.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "base/atomic_file.h"

namespace {

constexpr std::array<const char*, std::size_t(OverviewColumn::Count)> titles{
    "Drop", "Date", "Time", "Latitude", "Longitude", "Status", "q", "e", "Code", "Deepest", "Findings"};

std::string trimmed(std::string_view s) {
    const auto last = s.find_last_not_of(' ');
    const auto firstc = s.find_first_not_of(' ');
    return firstc == std::string_view::npos ? std::string{}
                                            : std::string(s.substr(firstc, last - firstc + 1));
}

// The code of the first record (the line after the two header lines),
// columns first..first+1; blank when the file holds no record.
std::string firstcode(std::string_view bytes, std::size_t first) {
    LineReader lines(bytes);
    std::string_view line;
    for (int k = 0; k < 3; ++k)
        if (!lines.next(line)) return {};
    std::string code(
        FixedText<2>(line.size() >= first ? line.substr(first - 1, 2) : std::string_view{}).view());
    for (char& c : code)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
    return trimmed(code);
}

}  // namespace

std::vector<std::string> overviewtitles() {
    return {titles.begin(), titles.end()};
}

int overviewrowof(const Overview& ov, int drop) {
    for (std::size_t r = 0; r < ov.order.size(); ++r)
        if (ov.order[r] == drop) return int(r) + 1;
    return 0;
}

std::string deepesttext(const RawContents& rd) {
    if (rd.ierr != 0 || rd.n <= 0) return {};
    float deepest = 0;
    for (float d : rd.depth) deepest = std::max(deepest, -d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(deepest));
    return buf;
}

std::string statusword(int istatus) {
    switch (istatus) {
        case 0: return "not edited";
        case 1: return "accepted";
        case -1: return "bad";
        case -4: return "test probe";
        default: return "status " + std::to_string(istatus);
    }
}

std::string overviewheading(const StationTable& table) {
    int accepted = 0, bad = 0, tp = 0, other = 0;
    for (int d = 1; d <= table.nlines; ++d) {
        const int s = table[d].istatus;
        accepted += s == 1;
        bad += s == -1;
        tp += s == -4;
        other += s != 0 && s != 1 && s != -1 && s != -4;
    }
    const int edited = accepted + bad + tp + other;
    std::string h = std::to_string(edited) + " of " + std::to_string(table.nlines) +
                    " edited: " + std::to_string(accepted) + " accepted, " + std::to_string(bad) + " bad, " +
                    std::to_string(tp) + " test probe";
    if (other > 0) h += ", " + std::to_string(other) + " other";
    return h;
}

PanelCells overviewrow(Overview& ov, DropCache& cache, const StationTable& table, const DropFiles& files,
                       int drop) {
    if (drop < 1 || drop > table.nlines) return {};
    const StationLine& l = table[drop];
    OverviewFiles& f = ov.drop[static_cast<std::size_t>(drop)];
    const std::string raw = dropfile(files, "r_", drop, ".KTD");
    if (f.path != raw) {
        f = OverviewFiles{};
        f.path = raw;
    }
    const std::string q = dropfile(files, "q.", drop), e = dropfile(files, "e.", drop);
    // The overview reads quietly: the records of the read are not replayed.
    if (auto now = cache.raw(raw, files.len_f1, fallrateA, fallrateB); now != f.raw) {
        f.raw = std::move(now);
        f.deepest = deepesttext(*f.raw);
        ov.rawreads += f.raw->ierr == 0;
    }
    // The q file is the edited file; a drop edited from the older two-metre
    // files has only its e file. Only the first record's code is wanted, so
    // only the first bytes are read.
    const bool qthere = stampof(q).exists, ethere = stampof(e).exists;
    const std::string code = qthere   ? firstcode(*cache.head(q, 512), 17)
                             : ethere ? firstcode(*cache.head(e, 512), 13)
                                      : std::string{};
    return {std::string(l.adropno.view()),
            std::string(l.adate.view()),
            trimmed(l.atime.view()),
            trimmed(l.alat.view()),
            trimmed(l.alon.view()),
            statusword(l.istatus),
            qthere ? "yes" : "no",
            ethere ? "yes" : "no",
            code,
            f.deepest};
}

std::string findingscell(const CheckParts& c, int drop) {
    std::string cell;
    for (const Finding& f : dropfindings(c, drop)) {
        if (!cell.empty()) cell += ", ";
        cell += findingtag(f);
    }
    return cell;
}

PanelCells overviewcells(Overview& ov, const CheckParts& c, int drop) {
    std::string findings = findingscell(c, drop);
    PanelCells cells = overviewrow(ov, c.cache, c.stations, c.files, drop);
    if (!cells.empty()) cells.push_back(std::move(findings));
    return cells;
}

std::vector<int> overvieworder(const CheckParts& c) {
    const StationTable& stations = c.stations;
    std::vector<int> order;
    for (int d = 1; d <= stations.nlines; ++d) order.push_back(d);
    if (!c.check.sortbyfindings) return order;
    // Drops not yet edited before those the operator has already seen, then
    // the worst class first, then the most findings; drops in their order
    // among equals.
    std::vector<std::tuple<bool, int, int>> key(static_cast<std::size_t>(stations.nlines) + 1);
    for (int d : order) {
        // A reject weighs most, a repair (class 5) between probably bad and probably good.
        constexpr int weight[6] = {0, 2, 4, 6, 8, 5};
        // A deep drop's wire running out where the cut proposal stops is
        // how most drops end: it does not move a drop up.
        int worst = 0, count = 0;
        for (const Finding& f : dropfindings(c, d)) {
            if (routineend(f)) continue;
            worst = std::max(worst, f.iqc >= 0 && f.iqc <= 5 ? weight[f.iqc] : 0);
            ++count;
        }
        key[static_cast<std::size_t>(d)] = {stations[d].istatus == 0, worst, count};
    }
    std::stable_sort(order.begin(), order.end(),
                     [&key](int a, int b) { return key[std::size_t(a)] > key[std::size_t(b)]; });
    return order;
}
