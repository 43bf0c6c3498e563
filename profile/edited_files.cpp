// Edited profile files: header composition, the q, e and 2 m records, their
// writers (bytes built in memory, then replaced atomically) and readers
// (pure parsers over bytes, then the file part).
#include "profile/edited_files.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include "base/atomic_file.h"
#include "base/fields.h"

namespace {

constexpr int failedCount = 65535;
constexpr int max2mPoints = 999;
constexpr float milli = 0.001f;

// Characters first..last (1-based) of an 8-character station field, blank
// where the field is shorter.
std::string sub(std::string_view s, std::size_t first, std::size_t last) {
    return std::string(FixedText<8>(s.substr(0, 8)).cols(first, last));
}

void putheader(std::string& out, const Ahdr& ahdr) {
    out.append(ahdr.cols(1, 38));
    out.push_back('\n');
    out.append(ahdr.cols(39, 87));
    out.push_back('\n');
}

std::int64_t milliunits(float v) {
    return nintProduct(1000.0f, v);
}

EditedWrite writebytes(const FileName& fname, int n, const std::string& bytes) {
    const WriteResult r = replaceFileAtomically(filePath(fname), bytes);
    if (!r) return EditedWrite{failedCount, false, r.reason};
    return EditedWrite{n, true, {}};
}

// The integer that a stored temperature field holds, as a 32-bit float in
// degrees: the product with the float 0.001 is rounded once.
float fromMilli(double v) {
    return static_cast<float>(static_cast<double>(milli) * static_cast<double>(static_cast<float>(v)));
}

// The class column of an edited file: blank is 0, a digit is taken. Only the
// classes 0 to 5 exist, so any other digit ends the reading like a letter
// would, and no later use can meet a class outside the catalogue.
std::optional<int> readclass(char c) {
    if (c == ' ') return 0;
    if (c >= '0' && c <= '5') return c - '0';
    return std::nullopt;
}

void markfailed(SlotData& s, const SlotLabel& label) {
    s.ainfo.putField(1, 2, "no");
    s.ainfo.putField(3, 5, label.cols(3, 5));
}

void markread(SlotData& s, const SlotLabel& label, int count) {
    s.nread = count;
    s.ainfo = SlotLabel(label.cols(1, 5));
}

// Reads the two header lines; 0, or the error flag of a file that ends
// inside them.
int readheader(LineReader& lines, Ahdr& ahdr) {
    std::string_view text;
    if (!lines.next(text)) return 1;
    ahdr.putField(1, 38, text.substr(0, 38));
    if (!lines.next(text)) return 1;
    ahdr.putField(39, 87, text.substr(0, 49));
    return 0;
}

}  // namespace

Ahdr composeahdr(const StationFields& st, const RawHeader& hdr) {
    Ahdr h;
    h.putField(3, 5, st.drop.substr(0, 3));
    h.putField(7, 9, hdr.probecode.view());
    h.putField(11, 12, hdr.recorder.view());
    h.putField(14, 20, hdr.callsign.view());
    h.putField(22, 28, st.alat.substr(0, 7));
    h.putField(30, 36, st.alon.substr(0, 7));
    h.set(38, st.aflag);
    h.putField(40, 41, sub(st.adate, 1, 2));
    h.set(42, '-');
    h.putField(43, 44, sub(st.adate, 4, 5));
    h.putField(45, 47, "-20");
    h.putField(48, 49, sub(st.adate, 7, 8));
    h.putField(52, 59, st.atime.substr(0, 8));
    h.putField(61, 68, hdr.seasid.view());
    h.putField(70, 76, hdr.serial.view());
    h.putField(78, 87, daterule(charrule(hdr.manufdate)).view());
    return h;
}

namespace {

// A record is built in a buffer of this size and appended at once; the
// longest, a q record of an interpolated point, takes 25 columns.
using RecordBuffer = std::array<char, 32>;

// The columns after the temperature, alike in every edited record: the
// class, the code and, for an interpolated point, the temperature as loaded.
char* putclassandcode(char* p, int iclass, const QcCode& code, std::int64_t loadedmilli) {
    *p++ = ' ';
    p = putI(p, iclass, 1);
    *p++ = ' ';
    *p++ = code.at(1);
    *p++ = code.at(2);
    if (iclass == 5) {
        *p++ = ' ';
        p = putI(p, loadedmilli, 5);
    }
    *p++ = '\n';
    return p;
}

// One record per point; the q and 2 m files differ only in their depth field.
template <class DepthField>
std::string pointfilebytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr,
                           DepthField depthfield) {
    n = clampPoints(n);
    std::string out;
    out.reserve(100 + static_cast<std::size_t>(n) * 25);
    putheader(out, ahdr);
    RecordBuffer rec;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
        char* p = depthfield(rec.data(), cur.depth[i]);
        *p++ = ' ';
        p = putI(p, milliunits(cur.t[i]), 5);
        p = putclassandcode(p, cur.iclass[i], cur.code[i], milliunits(loaded.t[i]));
        out.append(rec.data(), static_cast<std::size_t>(p - rec.data()));
    }
    return out;
}

}  // namespace

std::string qfilebytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr) {
    return pointfilebytes(cur, loaded, n, ahdr,
                          [](char* p, float depth) { return putI(p, nintProduct(-1000.0f, depth), 7); });
}

std::string flbytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr) {
    return pointfilebytes(cur, loaded, n, ahdr,
                          [](char* p, float depth) { return putI(p, nint(-static_cast<double>(depth)), 3); });
}

namespace {

// The 2 m bin of a depth: bin 1 holds 0 up to 2 m, bin 2 from 2 m to 4 m,
// the fraction cut off towards zero. Kept in 64 bits so that no depth, however
// wild, can overflow the bin number.
std::int64_t binof(float depth) {
    const double half = static_cast<double>(0.5f * -depth);
    if (std::isnan(half)) return 1;
    const double lim = 1.0e15;
    return static_cast<std::int64_t>(std::trunc(half < -lim ? -lim : half > lim ? lim : half)) + 1;
}

struct RunningBin {
    int count = 0;
    double sumt = 0;
    double sumloaded = 0;
    int maxclass = 0;
    QcCode code;
};

std::int64_t meanmilli(double sum, int count) {
    return nint(static_cast<double>(static_cast<float>(1000.0 * sum / count)));
}

// The record's depth is the middle of the bin it averages. For the bins of a
// real profile, one after the other, this is also 2k-3 for the bin k of the
// point that closes it; a profile with a gap or a step back must not have its
// average filed under a depth where none of its points lay.
void writebin(std::string& out, const RunningBin& b, std::int64_t bin) {
    std::int64_t d = 2 * bin - 1;
    if (d > 999) d -= 1000;
    RecordBuffer rec;
    char* p = putI(rec.data(), d, 3);
    p = putI(p, meanmilli(b.sumt, b.count), 6);
    p = putclassandcode(p, b.maxclass, b.code, meanmilli(b.sumloaded, b.count));
    out.append(rec.data(), static_cast<std::size_t>(p - rec.data()));
}

}  // namespace

std::string efilebytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr) {
    n = clampPoints(n);
    std::string out;
    out.reserve(100 + static_cast<std::size_t>(n) * 8);
    putheader(out, ahdr);
    RunningBin bin;
    std::int64_t k = 0;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
        const std::int64_t ki = binof(cur.depth[i]);
        if (i > 1 && ki == k) {
            ++bin.count;
            bin.sumt += cur.t[i];
            bin.sumloaded += loaded.t[i];
            if (cur.iclass[i] > bin.maxclass) bin.maxclass = cur.iclass[i];
            if (bin.code == QcCode()) bin.code = cur.code[i];
            continue;
        }
        if (i > 1) writebin(out, bin, k);
        bin = RunningBin{1, cur.t[i], loaded.t[i], cur.iclass[i], cur.code[i]};
        k = ki;
    }
    // The deepest bin may be partial and is never written.
    return out;
}

EditedWrite writeqfile(const FileName& fname, const SlotData& cur, const SlotData& loaded, int n,
                       const Ahdr& ahdr) {
    return writebytes(fname, n, qfilebytes(cur, loaded, n, ahdr));
}

namespace {

// The e file beside the q file qname, or a refusal: without a "q" to
// replace, the average would land on the q file itself (or on some other
// file).
std::optional<FileName> enameof(const FileName& qname, int prefixLength, EditedWrite& refusal) {
    const std::size_t at = static_cast<std::size_t>(prefixLength < 0 ? 0 : prefixLength) + 1;
    if (qname.at(at) != 'q' || at > FileName::size()) {
        refusal = EditedWrite{failedCount, false, "no \"q\" after the cruise prefix in " + filePath(qname)};
        return std::nullopt;
    }
    FileName ename = qname;
    ename.set(at, 'e');
    return ename;
}

}  // namespace

EditedWrite convertq2e(const FileName& qname, const SlotData& cur, const SlotData& loaded, int n,
                       const Ahdr& ahdr, int prefixLength) {
    EditedWrite refusal;
    const auto ename = enameof(qname, prefixLength, refusal);
    if (!ename) return refusal;
    return writebytes(*ename, n, efilebytes(cur, loaded, n, ahdr));
}

EditedPairWrite writeqande(const FileName& qname, const SlotData& cur, const SlotData& loaded, int n,
                           const Ahdr& ahdr, int prefixLength) {
    EditedPairWrite w;
    const auto ename = enameof(qname, prefixLength, w);
    if (!ename) {
        w.efailed = true;
        return w;
    }
    const std::string q = qfilebytes(cur, loaded, n, ahdr);
    const std::string e = efilebytes(cur, loaded, n, ahdr);
    std::size_t failed = 0;
    const WriteResult r = replaceFilesAtomically({{filePath(qname), q}, {filePath(*ename), e}}, &failed);
    if (!r) {
        w.n = failedCount;
        w.ok = false;
        w.reason = r.reason;
        w.efailed = failed == 1;
        return w;
    }
    w.n = n;
    return w;
}

EditedWrite wfl(const FileName& fname, int n, const SlotData& cur, const SlotData& loaded, const Ahdr& ahdr) {
    return writebytes(fname, n, flbytes(cur, loaded, n, ahdr));
}

namespace {

// One record of an edited file: a point, the end of the reading (a class
// column that holds no class), or a damaged field that fails the whole file.
struct Record {
    enum class Kind { Point, End, Damaged } kind = Kind::Damaged;
    float depth = 0, t = 0;
    int iclass = 0;
    QcCode code;

    static Record damaged() { return Record{}; }
    static Record end() {
        Record r;
        r.kind = Kind::End;
        return r;
    }
};

// The header, then at most maxPoints records read by readrecord into the
// slot; the q and 2 m files differ only in their record layout and limit.
template <class ReadRecord>
EditedRead parseedited(std::string_view bytes, SlotData& s, const SlotLabel& label, int maxPoints,
                       ReadRecord readrecord) {
    EditedRead r;
    LineReader lines(bytes);
    r.ierr = readheader(lines, r.ahdr);
    if (r.ierr != 0) {
        markfailed(s, label);
        return r;
    }
    int count = 0;
    std::string_view text;
    while (count < maxPoints && lines.next(text)) {
        const Record rec = readrecord(text);
        if (rec.kind == Record::Kind::Damaged) {
            r.ierr = failedCount;
            markfailed(s, label);
            return r;
        }
        if (rec.kind == Record::Kind::End) break;
        const auto i = static_cast<std::size_t>(++count);
        s.depth[i] = rec.depth;
        s.t[i] = rec.t;
        s.iclass[i] = rec.iclass;
        s.code[i] = rec.code;
    }
    markread(s, label, count);
    return r;
}

// Columns first..last of a record, as far as the line reaches: the columns
// past its end are blank, and blanks add nothing to the fields read here.
std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
    if (first > line.size()) return {};
    return line.substr(first - 1, last - first + 1);
}

Record qrecord(std::string_view text) {
    const auto depth = readIntField(columns(text, 1, 7));
    const auto temp = readIntField(columns(text, 9, 13));
    if (!depth || !temp) return Record::damaged();
    const auto cls = readclass(text.size() >= 15 ? text[14] : ' ');
    if (!cls) return Record::end();
    return {Record::Kind::Point, -fromMilli(static_cast<double>(*depth)),
            fromMilli(static_cast<double>(*temp)), *cls, QcCode(columns(text, 17, 18))};
}

Record twometrerecord(std::string_view text) {
    const auto depth = readRealField(columns(text, 1, 3));
    const auto temp = readRealField(columns(text, 5, 9));
    if (!depth || !temp || !std::isfinite(static_cast<float>(*depth)) || !std::isfinite(fromMilli(*temp)))
        return Record::damaged();
    const auto cls = readclass(text.size() >= 11 ? text[10] : ' ');
    if (!cls) return Record::end();
    return {Record::Kind::Point, -static_cast<float>(*depth), fromMilli(*temp), *cls,
            QcCode(columns(text, 13, 14))};
}

}  // namespace

EditedRead parserdq(std::string_view bytes, SlotData& s, const SlotLabel& label) {
    // Through a lambda, so that the record reader is inlined into the loop.
    return parseedited(bytes, s, label, ndepmax, [](std::string_view text) { return qrecord(text); });
}

EditedRead parsewinrdfl(std::string_view bytes, SlotData& s, const SlotLabel& label) {
    return parseedited(bytes, s, label, max2mPoints,
                       [](std::string_view text) { return twometrerecord(text); });
}

EditedRead rdq(const FileName& fname, SlotData& s, int prefixLength) {
    const SlotLabel label = nameLabel(fname, prefixLength);
    std::string bytes;
    if (!readFileBytes(filePath(fname), bytes)) {
        markfailed(s, label);
        return EditedRead{failedCount, Ahdr()};
    }
    return parserdq(bytes, s, label);
}

EditedRead winrdfl(const FileName& fname, SlotData& s, int prefixLength, const LogRecord& log) {
    logRecord(log, "winrfl", filePath(fname));
    const SlotLabel label = nameLabel(fname, prefixLength);
    std::string bytes;
    if (!readFileBytes(filePath(fname), bytes)) {
        markfailed(s, label);
        return EditedRead{failedCount, Ahdr()};
    }
    return parsewinrdfl(bytes, s, label);
}
