// Reading and writing of fixed-column numeric fields (Iw, Fw.d) and the
// rounding rules shared by every file the editor reads or writes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// An integer field: an optional sign and digits, blanks anywhere ignored.
// An all-blank field reads as 0. Anything else is not an integer.
std::optional<std::int64_t> readIntFieldBlanksAnywhere(std::string_view field);
inline std::optional<std::int64_t> readIntField(std::string_view field) {
    // The usual field, blanks, a sign perhaps and then only digits, read in
    // one pass here, where the readers call it for every number of a file;
    // 18 digits cannot overflow.
    std::size_t at = 0;
    while (at < field.size() && field[at] == ' ') ++at;
    const bool sign = at < field.size() && (field[at] == '-' || field[at] == '+');
    const std::size_t digits = at + (sign ? 1 : 0);
    if (digits < field.size() && field.size() - digits <= 18) {
        std::int64_t v = 0;
        std::size_t k = digits;
        for (; k < field.size() && field[k] >= '0' && field[k] <= '9'; ++k) v = v * 10 + (field[k] - '0');
        if (k == field.size()) return sign && field[at] == '-' ? -v : v;
    }
    return readIntFieldBlanksAnywhere(field);
}

// A real field. Blanks are ignored and an all-blank field reads as 0. A field
// with a decimal point or an exponent is taken as written; a field of digits
// only gets impliedDecimals decimals (field "1234" with 2 gives 12.34).
std::optional<double> readRealField(std::string_view field, int impliedDecimals = 0);

// The first number of a free-format text: items are separated by blanks or
// commas. Nothing when the first item is not a number or the text is blank.
std::optional<double> readFreeNumber(std::string_view text);

// Iw: v right-aligned in w columns; w asterisks when it does not fit.
std::string writeI(std::int64_t v, int w);
// The same columns appended to out, for writers that build a whole file.
void appendI(std::string& out, std::int64_t v, int w);
// The same columns written at `at`, which has room for them; returns their
// end. For writers that build a record at a time.
char* putI(char* at, std::int64_t v, int w);

// Fw.d: v rounded (halves away from zero) to d decimals, right-aligned in w
// columns; the leading zero of a value below one is dropped only when there
// is no room for it; w asterisks when it still does not fit.
std::string writeF(double v, int w, int d);

// nint(factor * value): the product is first rounded to a 32-bit float and
// then to the nearest integer, halves away from zero. Values beyond the
// 32-bit range saturate, so a wild value still fills its field with
// asterisks instead of wrapping round.
std::int64_t nintProduct(float factor, float value);
std::int64_t nint(double x);

// Free-format rendering for the logs: the shortest text that reads back as
// the same 32-bit value.
std::string freeFormat(float v);
std::string freeFormat(std::int64_t v);
inline std::string freeFormat(int v) { return freeFormat(static_cast<std::int64_t>(v)); }
