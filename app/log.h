// The two plain-text logs (dropfix-start.log and dropfix.log): free-format
// records, the items of one record separated by a blank, text as it is and
// numbers in their shortest form. A closed log drops its records; a memory
// log keeps them so that tests can read them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "base/fields.h"
#include "base/fixed_text.h"

class Log {
public:
    Log() = default;
    static Log memory();

    // Creates the file anew; false when it cannot be created.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr || memory_; }

    template <class... Items>
    void record(const Items&... items) {
        std::string line;
        (append(line, items), ...);
        write(line);
    }
    // Called after each group of records, so that a crash loses nothing
    // that an operator may need to see.
    void flush();

    // Everything recorded, for a memory log.
    const std::string& text() const { return text_; }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    static void sep(std::string& line) {
        if (!line.empty()) line += ' ';
    }
    static void append(std::string& line, std::string_view s) {
        sep(line);
        line += s;
    }
    static void append(std::string& line, const char* s) { append(line, std::string_view(s)); }
    static void append(std::string& line, const std::string& s) { append(line, std::string_view(s)); }
    template <std::size_t N>
    static void append(std::string& line, const FixedText<N>& s) {
        append(line, s.view());
    }
    static void append(std::string& line, int v) { append(line, std::string_view(freeFormat(v))); }
    static void append(std::string& line, std::int64_t v) { append(line, std::string_view(freeFormat(v))); }
    static void append(std::string& line, float v) { append(line, std::string_view(freeFormat(v))); }
    void write(std::string_view line);

    std::unique_ptr<std::FILE, Closer> file_;
    bool memory_ = false;
    std::string text_;
};
