// Line ends, and the replacement of a file: through its link, with its mode
// and group, refused where a plain overwrite would be, with a hidden
// temporary name.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uid_t nobody = 65534;

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "dropfix-base-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static void write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string read(const fs::path& p) {
        std::stringstream s;
        s << std::ifstream(p, std::ios::binary).rdbuf();
        return s.str();
    }
    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    }
    fs::path dir;
};

TEST(LineReader, TakesLfCrlfAndALoneCrAsTheEndOfALine) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a\nb", {"a", "b"}},       {"a\r\nb\r\n", {"a", "b"}},           {"a\rb\r", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}}, {"a\n\r\nb\n\n", {"a", "", "b", ""}}, {"\r", {""}},
    };
    for (const auto& [bytes, want] : cases) {
        LineReader lines(bytes);
        std::vector<std::string> got;
        for (std::string_view l; lines.next(l);) got.emplace_back(l);
        EXPECT_EQ(got, want) << testing::PrintToString(bytes);
    }
}

TEST_F(Scratch, ReplacementWritesThroughTheLinkAndKeepsModeAndGroup) {
    fs::create_directory(dir / "lists");
    write(dir / "lists" / "stations.dat", "old\n");
    ::chmod((dir / "lists" / "stations.dat").c_str(), 0664);
    // Where the user may give the file another group, it keeps that group.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((dir / "lists" / "stations.dat").c_str(), 0, nobody), 0);
    }
    fs::create_symlink("lists/stations.dat", dir / "stations.dat");

    ASSERT_TRUE(replaceFileAtomically((dir / "stations.dat").string(), "new\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "stations.dat"));
    EXPECT_EQ(read(dir / "lists" / "stations.dat"), "new\n");
    EXPECT_EQ(modeOf(dir / "lists" / "stations.dat"), 0664u);
    struct stat st {};
    ::stat((dir / "lists" / "stations.dat").c_str(), &st);
    if (root) {
        EXPECT_EQ(st.st_gid, nobody);
    }
    // No temporary file is left in either directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "lists"), {}), 1);
}

TEST_F(Scratch, AFileTheUserMayNotWriteIsRefusedAndLeftAsItIs) {
    const fs::path target = dir / "stations.dat";
    write(target, "old\n");
    ::chmod(target.c_str(), 0444);
    ::chmod(dir.c_str(), 0777);
    // The superuser may write anything, so the replacement runs as nobody.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(nobody) != 0) ::_exit(2);
        const WriteResult w = replaceFileAtomically(target.string(), "new\n");
        ::_exit(!w && w.reason == "cannot write " + target.string() + ": Permission denied" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read(target), "old\n");
    EXPECT_EQ(modeOf(target), 0444u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

// A pair is refused as a whole: whichever file the user may not write, the
// other keeps its old bytes too, and the failure names the refused one.
TEST_F(Scratch, APairWithOneFileTheUserMayNotWriteLeavesBothAsTheyWere) {
    for (const std::size_t readOnly : {0u, 1u}) {
        const std::vector<fs::path> targets = {dir / "DEMO01q.001", dir / "DEMO01e.001"};
        for (const auto& t : targets) {
            write(t, "old\n");
            ::chmod(t.c_str(), t == targets[readOnly] ? 0444 : 0666);
        }
        ::chmod(dir.c_str(), 0777);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::geteuid() == 0 && ::setuid(nobody) != 0) ::_exit(2);
            std::size_t failed = 9;
            const WriteResult w = replaceFilesAtomically(
                {{targets[0].string(), "new q\n"}, {targets[1].string(), "new e\n"}}, &failed);
            const std::string why = "cannot write " + targets[readOnly].string() + ": Permission denied";
            ::_exit(!w && failed == readOnly && w.reason == why ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << readOnly;
        for (const auto& t : targets) EXPECT_EQ(read(t), "old\n") << t;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2) << "no temporary file is left";
        for (const auto& t : targets) fs::remove(t);
    }
}

TEST(TemporaryName, HiddenFromTheCruiseGlobsAndKnownWhenLeftBehind) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {".stations.dat.a1B2c3.dropfix-tmp", true},
        {".DEMO01q.005.Zz09aa.dropfix-tmp", true},
        {"DEMO01q.005.tmp-Ab12cd", true},  // as earlier versions named them
        {"DEMO01q.005", false},
        {"stations.dat", false},
        {".dropfix-tmp", false},
        {"notes.tmp-abc", false},
        {".stations.dat.journal", false},
    };
    for (const auto& [name, temporary] : cases) EXPECT_EQ(isTemporaryName(name), temporary) << name;
}

// Nothing but a regular file is read, and nothing makes the open wait: a
// FIFO without a writer would block a plain open forever.
TEST_F(Scratch, OnlyRegularFilesAreReadAndOthersAreNamedByTheirKind) {
    std::ofstream(dir / "file") << "bytes";
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    fs::create_directory(dir / "directory");
    fs::create_symlink(dir / "file", dir / "link");
    struct Case {
        fs::path path;
        Links links;
        std::string kind;  // empty: read
    };
    const std::vector<Case> cases = {
        {dir / "file", Links::Refuse, ""},
        {dir / "link", Links::Follow, ""},
        {dir / "link", Links::Refuse, "a symbolic link, which Dropfix does not follow for its own files"},
        {dir / "fifo", Links::Follow, "a FIFO, not a regular file"},
        {dir / "directory", Links::Follow, "a directory, not a regular file"},
        {"/dev/null", Links::Follow, "a device, not a regular file"},
    };
    for (const Case& c : cases) {
        std::string bytes;
        const ReadResult r = readRegularFile(c.path, bytes, 1024, c.links);
        EXPECT_EQ(r.ok, c.kind.empty()) << c.path;
        EXPECT_EQ(r.ok ? bytes : r.reason, c.kind.empty() ? "bytes" : c.path.string() + " is " + c.kind)
            << c.path;
    }
    // Appending refuses the same, and a FIFO with no reader does not block.
    EXPECT_EQ(appendFileSynced(dir / "fifo", "x").reason,
              (dir / "fifo").string() + " is a FIFO, not a regular file");
    EXPECT_FALSE(appendFileSynced(dir / "link", "x", Links::Refuse));
    EXPECT_EQ(read(dir / "file"), "bytes");
}

TEST_F(Scratch, OnlyTheEditorsOwnTemporaryFilesAreRemoved) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {".stations.dat.a1B2c3.dropfix-tmp", true},
        {"stations.dat.tmp-Ab12cd", true},  // the older form, made for one of the editor's files
        {"notes.tmp-250311", false},        // the older form, but a user's file
        {"notes", false},
    };
    for (const auto& [name, removed] : cases) std::ofstream(dir / name) << "x";
    removeTemporaryFiles(dir, [](std::string_view base) { return base == "stations.dat"; });
    for (const auto& [name, removed] : cases) EXPECT_EQ(fs::exists(dir / name), !removed) << name;
}

}  // namespace
