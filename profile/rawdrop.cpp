// Raw drop file reader: keyword header, cleaning rules, the sample section
// and the fall-rate depths. The parser works on bytes so that it can be fed
// anything; the file part only fetches the bytes.
#include "profile/rawdrop.h"

#include <string>

#include "base/atomic_file.h"
#include "base/fields.h"

namespace {

constexpr std::size_t rawLineWidth = 100;
constexpr int maxHeaderLines = 999;
constexpr int samplesPerLine = 20;
constexpr std::size_t sampleWidth = 5;

using RawLine = FixedText<rawLineWidth>;

bool startsAt(const RawLine& line, std::size_t col, std::string_view kw) {
    return line.cols(col, col + kw.size() - 1) == kw;
}
bool startsAt1or2(const RawLine& line, std::string_view kw) {
    return startsAt(line, 1, kw) || startsAt(line, 2, kw);
}

template <std::size_t N>
FixedText<N> field(const RawLine& line, std::size_t first) {
    return FixedText<N>(line.cols(first, first + N - 1));
}

FixedText<3> probecoderule(FixedText<3> p) {
    if (p.at(2) == '5' && p.at(3) == '2') p = FixedText<3>("051");
    for (std::size_t c = 1; c <= 3; ++c)
        if (p.at(c) == ' ') p.set(c, '0');
    return p;
}

FixedText<2> recorderrule(FixedText<2> r) {
    for (std::size_t c = 1; c <= 2; ++c)
        if (r.at(c) == ' ') r.set(c, '0');
    return r;
}

enum class HeaderLine { Other, Fields, Count };

// Matches one header line against the keyword table; the first matching row
// decides, so the order of the tests is the table's order.
HeaderLine matchheader(const RawLine& line, RawHeader& h, int& numtems, bool& countOk) {
    for (std::string_view kw : {"Date", "Lati", "Long", "Drop"})
        if (startsAt1or2(line, kw)) return HeaderLine::Other;
    if (startsAt1or2(line, "Call")) {
        h.callsign = charrule(field<7>(line, 13));
        return HeaderLine::Fields;
    }
    if (startsAt(line, 2, "Probe Code:")) {
        h.probecode = probecoderule(field<3>(line, 14));
        return HeaderLine::Fields;
    }
    if (startsAt(line, 2, "Probe Manuf")) {
        h.manufdate = daterule(charrule(field<10>(line, 26)));
        return HeaderLine::Fields;
    }
    if (startsAt(line, 2, "Probe Seria")) {
        h.serial = charrule(field<7>(line, 19));
        return HeaderLine::Fields;
    }
    if (startsAt1or2(line, "SEAS ID")) {
        h.seasid = charrule(field<8>(line, 11));
        return HeaderLine::Fields;
    }
    if (startsAt(line, 2, "Recorder Co")) {
        h.recorder = recorderrule(field<2>(line, 17));
        return HeaderLine::Fields;
    }
    if (startsAt1or2(line, "XBT:")) {
        // A count standing one column to the right is not read: such a file
        // gives an empty profile rather than a guessed one.
        numtems = 0;
        countOk = true;
        if (startsAt(line, 1, "XBT:")) {
            const auto v = readIntField(line.cols(6, 9));
            if (v && *v >= 0)
                numtems = static_cast<int>(*v);
            else
                countOk = false;
        }
        return HeaderLine::Count;
    }
    return HeaderLine::Other;
}

// Reads `count` samples of one data line into raw[pos..]; false at the first
// field that is not an integer, with pos at that field.
bool readsamples(std::string_view text, int count, std::array<int, ndepmax>& raw, int& pos) {
    const RawLine line(text);
    for (int k = 0; k < count && pos < ndepmax; ++k) {
        const std::size_t first = static_cast<std::size_t>(k) * sampleWidth + 1;
        const auto v = readIntField(line.cols(first, first + sampleWidth - 1));
        if (!v) return false;
        raw[static_cast<std::size_t>(pos++)] = static_cast<int>(*v);
    }
    return true;
}

// Depth and temperature of samples 1..n; only the depth's result is
// rounded to a 32-bit float.
void convert(const std::array<int, ndepmax>& raw, int n, float a, float b, RawDrop& out) {
    const float milli = 0.001f;
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        out.depth[k] = static_cast<float>(-sampledepth(i, a, b));
        out.t[k] = milli * static_cast<float>(raw[k]);
    }
}

}  // namespace

double sampledepth(int i, float a, float b) {
    const float interval = 0.1f;
    const double tau = static_cast<double>(interval) * i;
    return static_cast<double>(a) * tau - static_cast<double>(b) * (tau * tau);
}

FixedText<10> daterule(FixedText<10> d) {
    if (d.at(2) != ' ') {
        d.set(3, '-');
        d.set(6, '-');
    }
    return d;
}

RawDrop parserawdrop(std::string_view bytes, float a, float b, const LogRecord& log) {
    RawDrop out;
    LineReader lines(bytes);
    std::string_view text;

    int numtems = -1;  // stays negative when no "XBT:" line is found
    bool countOk = true;
    for (int k = 0; k < maxHeaderLines && numtems < 0; ++k) {
        if (!lines.next(text)) {
            logRecord(log, "end of raw file");
            return out;
        }
        matchheader(RawLine(text), out.hdr, numtems, countOk);
    }
    if (numtems < 0) return out;  // no "XBT:" line: an empty profile
    if (!countOk) {
        logRecord(log, "error reading raw file");
        return out;
    }
    if (numtems > ndepmax) {
        logRecord(log, "numtems > ndepmax, reset numtems");
        numtems = ndepmax;
    }

    std::array<int, ndepmax> raw{};
    int pos = 0;
    const int numtemlines = numtems / samplesPerLine;
    const int nremain = numtems % samplesPerLine;
    int n = numtems;
    for (int l = 0; l < numtemlines; ++l) {
        if (!lines.next(text)) {
            logRecord(log, "end of raw file, data");
            n = pos;
            break;
        }
        if (!readsamples(text, samplesPerLine, raw, pos)) {
            logRecord(log, "error reading raw file");
            n = pos;
            break;
        }
    }
    if (n == numtems && nremain != 0) {
        logRecord(log, "try reading last line: nremain=", freeFormat(nremain));
        if (!lines.next(text)) {
            logRecord(log, "errored out at 222");
            n = numtems - nremain;
        } else if (!readsamples(text, nremain, raw, pos)) {
            logRecord(log, "error reading raw file");
            n = pos;
        }
    }
    out.n = clampPoints(n);
    convert(raw, out.n, a, b, out);
    return out;
}

RawDrop rddropfix(const FileName& fname, int prefixLength, float a, float b, const LogRecord& log) {
    std::string bytes;
    if (!readFileBytes(filePath(fname), bytes)) {
        RawDrop failed;
        failed.ierr = 65535;
        markFailed(failed.label, fname, prefixLength);
        return failed;
    }
    RawDrop out = parserawdrop(bytes, a, b, log);
    out.label = nameLabel(fname, prefixLength);
    return out;
}
