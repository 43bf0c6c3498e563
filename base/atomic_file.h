// Replacing a file so that a crash, a full disk or a kill at any moment
// leaves either the old file or the new one, never a mixture.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct WriteResult {
    bool ok = true;
    std::string reason;  // why it failed, for the operator's message
    explicit operator bool() const { return ok; }
};

// Writes bytes to a temporary file in the directory of path, flushes it to
// disk and renames it over path. A symbolic link is followed to the file it
// names; the replaced file's mode and group are kept; a file the user may
// not write is refused, as a plain overwrite would be. On failure path is
// untouched and the temporary file is removed.
WriteResult replaceFileAtomically(const std::string& path, std::string_view bytes);

// One file of a set replaced together.
struct FileReplacement {
    std::string path;
    std::string_view bytes;
};

// Replaces several files as replaceFileAtomically replaces one, but with one
// directory flush for them all: every new file is written and flushed first,
// then all are renamed, then each directory is flushed once. Each file is
// left old or new, never a mixture. Every target is checked before anything
// is written, and nothing is renamed unless every new file reached the disk.
// On failure failed (when given) is the index of the file the reason names;
// a rename that fails after others succeeded leaves those others new.
WriteResult replaceFilesAtomically(const std::vector<FileReplacement>& files, std::size_t* failed = nullptr);

// Whether the last part of a path may be a symbolic link. The files the
// operator keeps (stations.dat, the q and e files) may be links to where the
// cruise really lies; the editor's own hidden files and its log never are,
// so a link there was planted and writing through it would land elsewhere.
enum class Links { Follow, Refuse };

// Appends bytes to path (created when missing) and flushes them to disk
// before it returns. Only a regular file is appended to.
WriteResult appendFileSynced(const std::string& path, std::string_view bytes, Links links = Links::Follow);

// The temporary files start with a dot and end with this suffix, so that no
// glob of the cruise's files matches one.
inline constexpr std::string_view temporarySuffix = ".dropfix-tmp";

// True for the name of a temporary file of this program, of today's form or
// of the "<name>.tmp-XXXXXX" form that earlier versions left.
bool isTemporaryName(std::string_view name);

// Removes the temporary files that a killed run left in directory; returns
// their paths. A name of the older form is removed only when ownFile accepts
// the name it was made for: a user's "notes.tmp-250311" is not ours.
std::vector<std::string> removeTemporaryFiles(const std::string& directory,
                                              const std::function<bool(std::string_view)>& ownFile);

// The outcome of a read, with the reason for the operator's message.
struct ReadResult {
    bool ok = true;
    bool missing = false;     // there is no file at all, which is often expected
    std::string reason;       // "PATH is a FIFO, not a regular file", "cannot open PATH: ..."
    bool notRegular = false;  // something is there, but no regular file (or a link refused)
    explicit operator bool() const { return ok; }
};

// Opens path with flags so that nothing can make it wait (a FIFO or a
// device would block forever) and only when it is a regular file; with
// Links::Refuse a symbolic link is refused too. The descriptor, or -1 with
// the reason in why. mode is for a file that flags create.
int openRegularFile(const std::string& path, int flags, Links links, ReadResult& why, unsigned mode = 0666);

// Reads a regular file, at most maxBytes of it, so that a huge or endless
// file can never exhaust memory: the readers never need more than a few
// hundred kilobytes of any cruise file.
ReadResult readRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes = 64u << 20,
                           Links links = Links::Follow);

// readRegularFile without its reason: false when the file cannot be read.
bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes = 64u << 20);

// Why path cannot be read as a regular file, or nothing when it can.
std::optional<ReadResult> unreadable(const std::string& path);

// Splits file bytes into lines, accepting LF, CRLF and a lone CR as the
// end of a line; the caller takes columns from the line without its end. A
// last line without a line end still counts.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}
    // The next line, or false at the end of the bytes.
    bool next(std::string_view& line);
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};
