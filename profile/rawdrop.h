// The raw drop file reader (rddropfix): the probe and ship header and the
// integer samples, turned into depths by the fall-rate equation.
#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "base/fixed_text.h"
#include "profile/drop_label.h"
#include "profile/profile_store.h"

// The fall-rate coefficients that the editor always uses, as the exact
// 32-bit values (b is one unit in the last place above the float nearest
// to 0.00216, as the recorded profiles were computed with).
inline constexpr float fallrateA = std::bit_cast<float>(std::uint32_t{0x40CF1AA0});
inline constexpr float fallrateB = std::bit_cast<float>(std::uint32_t{0x3B0D8ECA});

// The header fields that the edited-file header needs, cleaned. Each one is
// blank when the file has no line for it.
struct RawHeader {
    FixedText<7> callsign;
    FixedText<8> seasid;
    FixedText<7> serial;
    FixedText<10> manufdate;
    FixedText<2> recorder;
    FixedText<3> probecode;
};

// What a read gives: n points in the two buffers (element 0 is point 1),
// depths negative in metres, temperatures in degrees Celsius. ierr is 0, or
// 65535 when the file cannot be opened (n = 0, label "no" and the digits).
struct RawDrop {
    int n = 0;
    int ierr = 0;
    SlotLabel label;
    RawHeader hdr;
    std::array<float, ndepmax> depth{};
    std::array<float, ndepmax> t{};
};

// The cleaning rules of the raw header, exposed for the header composition.
template <std::size_t N>
FixedText<N> charrule(const FixedText<N>& f) {
    FixedText<N> r;
    for (std::size_t c = 1; c <= N; ++c) {
        const auto u = static_cast<unsigned char>(f.at(c));
        r.set(c, (u == '-' || (u >= 48 && u <= 122)) ? f.at(c) : ' ');
    }
    return r;
}
FixedText<10> daterule(FixedText<10> d);

// Depth in metres (positive) of sample i (1-based), taken 0.1 s apart, for
// the fall-rate coefficients a and b: the time and depth are worked in
// double from the 32-bit values, as the archived profiles were.
double sampledepth(int i, float a = fallrateA, float b = fallrateB);

// Parses the bytes of a raw drop file; the label is left blank.
RawDrop parserawdrop(std::string_view bytes, float a, float b, const LogRecord& log);

// Reads the raw drop file fname; prefixLength is the number of characters of
// the name before "r_". Log records go to log (the main log).
RawDrop rddropfix(const FileName& fname, int prefixLength, float a, float b, const LogRecord& log);
