// Replacing a file so that a crash, a full disk or a kill at any moment
// leaves either the old file or the new one, never a mixture.
#pragma once
#include <string>
#include <string_view>

struct WriteResult {
    bool ok = true;
    std::string reason;  // why it failed, for the operator's message
    explicit operator bool() const { return ok; }
};

// Writes bytes to a temporary file in the directory of path, flushes it to
// disk and renames it over path. On failure path is untouched and the
// temporary file is removed.
WriteResult replaceFileAtomically(const std::string& path, std::string_view bytes);

// Reads a file, at most maxBytes of it, so that a huge or endless file can
// never exhaust memory: the readers never need more than a few hundred
// kilobytes of any cruise file. False when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes = 64u << 20);

// Splits file bytes into lines, accepting LF and CRLF: a trailing CR is
// dropped before the caller takes columns. A last line without a line end
// still counts.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // The next line, or false at the end of the bytes.
    bool next(std::string_view& line);
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};
