// The edited profile files: the full-resolution q file (writeqfile, rdq), its
// two-metre average (convertq2e) and the two-metre files of the older mode
// (wfl, winrdfl), with the header ahdr that all of them carry.
#pragma once
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "profile/drop_label.h"
#include "profile/profile_store.h"
#include "profile/rawdrop.h"

using Ahdr = FixedText<87>;

// The station-list fields of the current drop that go into its header, as
// the station table holds them (date and time blanks already turned to "0").
struct StationFields {
    std::string_view drop;  // the three drop digits
    std::string_view alat;  // 7 characters
    std::string_view alon;  // 7 characters
    char aflag = ' ';
    std::string_view adate;  // 8 characters: dd?mm?yy
    std::string_view atime;  // 8 characters
};

// Composes the 87-character header of the current drop's edited files.
Ahdr composeahdr(const StationFields& st, const RawHeader& hdr);

// Outcome of a writer. n is the writer's count: unchanged on success, 65535
// after a failed write. When ok is false, reason says why, for the
// operator's message; the old file, if any, is then untouched.
struct EditedWrite {
    int n = 0;
    bool ok = true;
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Outcome of a reader: ierr 0 when read, 1 when the file ends inside its
// header, 65535 when it cannot be opened or a record is unreadable. ahdr is
// the header text as read.
struct EditedRead {
    int ierr = 0;
    Ahdr ahdr;
};

// The bytes of the files, built in memory. cur is slot 2 (the edited
// profile), loaded is slot 4 (the temperatures as loaded, written beside
// interpolated points). n is limited to 0..ndepmax.
std::string qfilebytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr);
std::string efilebytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr);  // 2 m averages
std::string flbytes(const SlotData& cur, const SlotData& loaded, int n, const Ahdr& ahdr);  // point for point

// Writes the full-resolution file fname with points 1..n.
EditedWrite writeqfile(const FileName& fname, const SlotData& cur, const SlotData& loaded, int n,
                       const Ahdr& ahdr);

// Writes the 2 m average of points 1..n beside the q file qname: the e file
// is named like it with "e" in place of the "q" after the prefix.
EditedWrite convertq2e(const FileName& qname, const SlotData& cur, const SlotData& loaded, int n,
                       const Ahdr& ahdr, int prefixLength);

// Writes the q file and its e file together: both are flushed before either
// is renamed, and a refusal of either leaves both as they were. When ok is
// false, efailed says that the reason concerns the e file.
struct EditedPairWrite : EditedWrite {
    bool efailed = false;
};
EditedPairWrite writeqande(const FileName& qname, const SlotData& cur, const SlotData& loaded, int n,
                           const Ahdr& ahdr, int prefixLength);

// Writes points 1..n point for point as a 2 m file (2 m mode).
EditedWrite wfl(const FileName& fname, int n, const SlotData& cur, const SlotData& loaded, const Ahdr& ahdr);

// Readers: fill depth, t, iclass, code, nread and ainfo of the slot. On
// failure nread stays and ainfo columns 1-5 become "no" and the digits.
// The parse functions take the file's bytes and the five name characters
// after the prefix as the label.
EditedRead parserdq(std::string_view bytes, SlotData& s, const SlotLabel& label);
EditedRead parsewinrdfl(std::string_view bytes, SlotData& s, const SlotLabel& label);
EditedRead rdq(const FileName& fname, SlotData& s, int prefixLength);
EditedRead winrdfl(const FileName& fname, SlotData& s, int prefixLength, const LogRecord& log);
