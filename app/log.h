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

    // Creates the file anew; false when it cannot be created, with the
    // reason in why when given. A log is the editor's own file: a symbolic
    // link, a FIFO or a device in its place is refused.
    bool open(const std::string& path, std::string* why = nullptr);
    // Opens the file as open does but leaves its bytes as they are, and keeps
    // the records in memory until release writes them: a run that ends first
    // (another editor holds the cruise) leaves the file as it found it.
    bool openHeld(const std::string& path, std::string* why = nullptr);
    // Empties the file and writes what was kept; then records go straight
    // to the file. Nothing for a log that is not held.
    void release();
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
    bool held_ = false;
    std::string text_;
};

// A failure the operator must see and the log must keep: the record goes to
// the log and to disk first, then the message to an error box.
void reporterror(Log& log, std::string_view record, std::string_view message);
inline void reporterror(Log& log, std::string_view message) {
    reporterror(log, message, message);
}
