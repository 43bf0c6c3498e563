// Edited profile files: header, q and 2 m records byte for byte, the 2 m
// averaging, read-back, failure labels and the safety of the writers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <memory>

#include "base/atomic_file.h"
#include "profile/edited_files.h"
#include "test_util.h"

namespace {

struct Point {
    float depth;  // positive metres
    float t;
    int iclass = 0;
    const char* code = "  ";
    float loaded = 0.0f;  // temperature as loaded, for class 5
};

// Slots 2 and 4 of a store, as the writers receive them.
struct Profile {
    std::unique_ptr<SlotData> cur = std::make_unique<SlotData>();
    std::unique_ptr<SlotData> loaded = std::make_unique<SlotData>();
    int n = 0;
    explicit Profile(std::initializer_list<Point> pts) {
        for (const Point& p : pts) add(p);
    }
    void add(const Point& p) {
        const auto i = static_cast<std::size_t>(++n);
        cur->depth[i] = -p.depth;
        cur->t[i] = p.t;
        cur->iclass[i] = p.iclass;
        cur->code[i] = QcCode(p.code);
        loaded->t[i] = p.iclass == 5 ? p.loaded : p.t;
    }
};

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> out;
    std::string_view line;
    LineReader r(bytes);
    while (r.next(line)) out.emplace_back(line);
    return out;
}

std::vector<std::string> eRecords(const Profile& p);

Ahdr sampleHeader() {
    RawHeader h;
    h.probecode = FixedText<3>("051");
    h.recorder = FixedText<2>("60");
    h.callsign = FixedText<7>("WTEC123");
    h.seasid = FixedText<8>("SEAS9.01");
    h.serial = FixedText<7>("1234567");
    h.manufdate = FixedText<10>("03/15/2024");
    StationFields st{"007", "-12.500", "155.250", 'A', "09/12/26", "13:45:00"};
    return composeahdr(st, h);
}

TEST(EditedFiles, HeaderIsComposedColumnByColumn) {
    const Ahdr h = sampleHeader();
    EXPECT_EQ(h.str(),
              "  007 051 60 WTEC123 -12.500 155.250 A 09-12-2026  13:45:00 SEAS9.01 1234567 03-15-2024");
    const auto lines = linesOf(qfilebytes(Profile{}.cur.operator*(), SlotData(), 0, h));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 38u);
    EXPECT_EQ(lines[0].back(), 'A');
    EXPECT_EQ(lines[1].size(), 49u);
    EXPECT_EQ(lines[1].substr(0, 2), " 0");
}

TEST(EditedFiles, QRecordsAreByteExact) {
    Profile p{{5.0f, 21.5f, 1, "SP"}, {7.0f, 19.0f, 5, "  ", 18.25f}, {1234.5675f, -12.0f, 4, "WB"}};
    const auto lines = linesOf(qfilebytes(*p.cur, *p.loaded, p.n, Ahdr()));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "   5000 21500 1 SP");
    EXPECT_EQ(lines[3], "   7000 19000 5    18250");
    EXPECT_EQ(lines[4], "1234568 ***** 4 WB") << "too wide for five columns: asterisks";
}

// Each value below lies near a half: its product in double precision rounds
// the other way, and round-half-even gives the other integer, so a writer
// that skips the 32-bit product or rounds halves to even is caught.
TEST(EditedFiles, ScaledValuesRoundTheFloatProductHalvesAwayFromZero) {
    Profile p{{100.0075f, 10.0035f, 5, "  ", -3.0045f}, {2.5f, 10.0045f}, {3.0f, -3.0045f}, {5.0f, 1.0f}};
    EXPECT_THAT(linesOf(qfilebytes(*p.cur, *p.loaded, p.n, Ahdr())),
                ::testing::ElementsAre(std::string(38, ' '), std::string(49, ' '), " 100008 10004 5    -3005",
                                       "   2500 10005 0   ", "   3000 -3005 0   ", "   5000  1000 0   "));
    EXPECT_THAT(linesOf(flbytes(*p.cur, *p.loaded, p.n, Ahdr())),
                ::testing::ElementsAre(std::string(38, ' '), std::string(49, ' '), "100 10004 5    -3005",
                                       "  3 10005 0   ", "  3 -3005 0   ", "  5  1000 0   "));
    Profile e{{1.0f, 10.0035f}, {3.0f, -3.0045f}, {5.0f, 1.0f}};
    EXPECT_THAT(eRecords(e), ::testing::ElementsAre("  1 10004 0   ", "  3 -3005 0   "));
}

TEST(EditedFiles, WriteAndReadBackToTheMillimetreAndThousandth) {
    ScratchDir dir;
    Profile p{};
    for (int i = 1; i <= ndepmax; ++i)
        p.add(Point{0.6471784f * i - 0.0000021f * i * i, 28.0f - 0.0113f * i, i % 6, i % 7 ? "  " : "SP",
                    3.0f});
    const FileName q = dir.name("q.007");
    const EditedWrite w = writeqfile(q, *p.cur, *p.loaded, p.n, sampleHeader());
    ASSERT_TRUE(w) << w.reason;
    EXPECT_EQ(w.n, ndepmax);

    auto back = std::make_unique<SlotData>();
    back->ainfo = SlotLabel("stale label text here");
    const EditedRead r = rdq(q, *back, dir.prefixLength());
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.ahdr, sampleHeader());
    EXPECT_EQ(back->nread, ndepmax);
    EXPECT_EQ(back->ainfo.str(), "q.007                ");
    for (std::size_t i = 1; i <= ndepmax; ++i) {
        ASSERT_EQ(nint(-1000.0 * back->depth[i]), nintProduct(-1000.0f, p.cur->depth[i])) << i;
        ASSERT_EQ(nintProduct(1000.0f, back->t[i]), nintProduct(1000.0f, p.cur->t[i])) << i;
        ASSERT_EQ(back->iclass[i], p.cur->iclass[i]);
        ASSERT_EQ(back->code[i], p.cur->code[i]);
    }
}

// 10 thousandths times the 32-bit 0.001, rounded once, is 0.0100000007, one
// unit in the last place above the float nearest to 0.01 that a division or
// a 64-bit 0.001 would give.
TEST(EditedFiles, ReadersScaleByTheFloatThousandthRoundedOnce) {
    SlotData s;
    ASSERT_EQ(parserdq("h1\nh2\n     10    10 1\n", s, SlotLabel("q.001")).ierr, 0);
    EXPECT_EQ(s.depth[1], -0.0100000007f);
    EXPECT_EQ(s.t[1], 0.0100000007f);
    ASSERT_EQ(parsewinrdfl("h1\nh2\n  1    10 0\n", s, SlotLabel("e.001")).ierr, 0);
    EXPECT_EQ(s.depth[1], -1.0f);
    EXPECT_EQ(s.t[1], 0.0100000007f);
}

TEST(EditedFiles, QReaderFailuresAndStops) {
    const SlotLabel label("q.012");
    SlotData s;
    s.nread = 77;
    s.ainfo = SlotLabel("q.012 -12.50 155.00TA");
    EditedRead r = parserdq("line one only\n", s, label);
    EXPECT_EQ(r.ierr, 1);
    EXPECT_EQ(s.ainfo.str(), "no012 -12.50 155.00TA");
    EXPECT_EQ(s.nread, 77) << "a failed read leaves nread";

    const std::string head = "h1\nh2\n";
    r = parserdq(head + "   5000 21500 1 SP\n   6000 21000 x\n   7000 20000 1\n", s, label);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(s.nread, 1) << "a class that is not a digit ends the reading";
    EXPECT_EQ(s.ainfo, "q.012");
    r = parserdq(head + "   5000 21500 1 SP\n   6000 21000 7\n", s, label);
    EXPECT_EQ(s.nread, 1) << "no class beyond the catalogue enters the store";
    r = parserdq(head + "   5000 21500 1 SP\n   6x00 21000 1\n", s, label);
    EXPECT_EQ(r.ierr, 65535);
    EXPECT_EQ(s.ainfo, "no012");
    r = parserdq(head + "   5000 21500\r\n", s, label);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(s.iclass[1], 0) << "a blank class reads as 0";
    EXPECT_EQ(s.code[1], QcCode());

    std::string many = head;
    for (int i = 0; i < 2100; ++i) many += "   5000 21500 1\n";
    parserdq(many, s, label);
    EXPECT_EQ(s.nread, ndepmax);

    ScratchDir dir;
    EXPECT_EQ(rdq(dir.name("q.013"), s, dir.prefixLength()).ierr, 65535);
    EXPECT_EQ(s.ainfo, "no013");
}

std::vector<std::string> eRecords(const Profile& p) {
    auto lines = linesOf(efilebytes(*p.cur, *p.loaded, p.n, Ahdr()));
    lines.erase(lines.begin(), lines.begin() + 2);
    return lines;
}

TEST(EditedFiles, TwoMetreAveragingWritesClosedBinsOnly) {
    Profile p{{0.65f, 20.0f}, {1.29f, 20.2f}, {1.94f, 20.4f}, {2.59f, 20.6f}, {3.24f, 20.8f}};
    EXPECT_THAT(eRecords(p), ::testing::ElementsAre("  1 20200 0   "));
    EXPECT_TRUE(eRecords(Profile{{0.65f, 20.0f}}).empty());
    EXPECT_TRUE(eRecords(Profile{}).empty());
}

TEST(EditedFiles, TwoMetreBinKeepsHighestClassAndFirstCode) {
    Profile p{{2.1f, 10.0f, 1, "  "},
              {2.5f, 11.0f, 5, "SP", 13.0f},
              {3.0f, 12.0f, 2, "HB"},
              {4.2f, 12.0f, 0},
              {9.0f, 5.0f}};
    EXPECT_THAT(eRecords(p), ::testing::ElementsAre("  3 11000 5 SP 11667", "  5 12000 0   "))
        << "after a gap of empty bins the average still stands at the depth of its own bin";
}

TEST(EditedFiles, TwoMetreDepthsWrapPast999) {
    Profile p{};
    for (float d = 990.0f; d <= 1010.0f; d += 0.65f) p.add(Point{d, 4.0f});
    std::vector<std::string> depths;
    for (const auto& l : eRecords(p)) depths.push_back(l.substr(0, 3));
    EXPECT_THAT(depths,
                ::testing::ElementsAre("991", "993", "995", "997", "999", "  1", "  3", "  5", "  7"));
}

TEST(EditedFiles, WildCountsNeverReachPastTheStore) {
    Profile p{{1.0f, 10.0f}, {3.0f, 11.0f}};
    for (int n : {65535, -1, ndepmax + 1}) {
        EXPECT_NO_FATAL_FAILURE(efilebytes(*p.cur, *p.loaded, n, Ahdr()));
        EXPECT_EQ(linesOf(qfilebytes(*p.cur, *p.loaded, n, Ahdr())).size(), n < 0 ? 2u : ndepmax + 2u);
    }
}

TEST(EditedFiles, TwoMetreFilesRoundTripAndLimits) {
    ScratchDir dir;
    Profile p{{1.0f, 21.5f, 1, "SP"}, {3.0f, -1.25f, 5, "  ", 18.25f}, {5.4f, 20.0f}};
    const FileName e = dir.name("e.004");
    ASSERT_TRUE(wfl(e, p.n, *p.cur, *p.loaded, Ahdr("hdr")));
    const auto lines = linesOf(readText(filePath(e)));
    EXPECT_THAT(lines, ::testing::ElementsAre(std::string(38, ' ').replace(0, 3, "hdr"), std::string(49, ' '),
                                              "  1 21500 1 SP", "  3 -1250 5    18250", "  5 20000 0   "));
    auto s = std::make_unique<SlotData>();
    std::vector<std::string> log;
    const EditedRead r = winrdfl(e, *s, dir.prefixLength(), [&](std::string_view l, std::string_view v) {
        log.push_back(std::string(l) + std::string(v));
    });
    EXPECT_EQ(r.ierr, 0);
    ASSERT_EQ(s->nread, 3);
    EXPECT_EQ(s->depth[3], -5.0f);
    EXPECT_EQ(s->t[2], -1.25f);
    EXPECT_EQ(s->iclass[2], 5);
    EXPECT_EQ(s->ainfo, "e.004");
    EXPECT_THAT(log, ::testing::ElementsAre("winrfl" + filePath(e)));

    std::string many = "h1\nh2\n";
    for (int i = 0; i < 1200; ++i) many += "1.5 2.5e3 0\n";
    parsewinrdfl(many, *s, SlotLabel("s.004"));
    EXPECT_EQ(s->nread, 999);
    EXPECT_EQ(s->depth[1], -1.5f) << "a decimal point is honoured";
    EXPECT_EQ(s->t[1], 2.5f);

    // Deeper than 999 m overflows the depth field; reading it back fails.
    Profile deep{{1000.0f, 4.0f}};
    ASSERT_TRUE(wfl(e, deep.n, *deep.cur, *deep.loaded, Ahdr()));
    EXPECT_EQ(winrdfl(e, *s, dir.prefixLength(), {}).ierr, 65535);
    EXPECT_EQ(s->ainfo, "no004");
}

TEST(EditedFiles, ConvertNamesTheEFileAfterTheQFile) {
    ScratchDir dir;
    Profile p{{0.65f, 20.0f}, {2.59f, 20.6f}};
    const EditedWrite w = convertq2e(dir.name("q.021"), *p.cur, *p.loaded, p.n, Ahdr(), dir.prefixLength());
    ASSERT_TRUE(w) << w.reason;
    EXPECT_EQ(linesOf(readText(dir.prefix() + "e.021")).size(), 3u);
    const EditedWrite bad =
        convertq2e(dir.name("q.022"), *p.cur, *p.loaded, p.n, Ahdr(), dir.prefixLength() + 1);
    EXPECT_FALSE(bad);
    EXPECT_FALSE(bad.reason.empty());
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u) << "a name without its \"q\" writes nothing";
}

TEST(EditedFiles, FailedWriteLeavesTheOldFileAndSaysWhy) {
    ScratchDir dir;
    const FileName q = dir.name("q.003");
    writeText(filePath(q), "old contents\n");
    Profile p{};
    for (int i = 1; i <= ndepmax; ++i) p.add(Point{0.65f * i, 20.0f});
    // The disk "fills up" after 1000 bytes: a file-size limit in a child, so
    // that the test program itself keeps its limits.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        const EditedWrite w = writeqfile(q, *p.cur, *p.loaded, p.n, Ahdr());
        ::_exit(!w.ok && w.n == 65535 && !w.reason.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write must fail with 65535 and a reason";
    EXPECT_EQ(readText(filePath(q)), "old contents\n");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

TEST(EditedFiles, KilledWriterLeavesTheOldFile) {
    ScratchDir dir;
    const std::string target = dir.path() + "q.009";
    writeText(target, "old contents\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The writer stops for good once 64 KiB are on disk, so the kill
        // always lands in the middle of the write.
        std::signal(SIGXFSZ, [](int) {
            for (;;) ::pause();
        });
        const rlimit lim{64 << 10, 64 << 10};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        replaceFileAtomically(target, std::string(1 << 20, 'x'));
        ::_exit(0);
    }
    bool started = false;
    for (int i = 0; i < 100000 && !started; ++i) {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (isTemporaryName(e.path().filename().string()) && e.file_size() == (64u << 10)) started = true;
        if (!started) ::usleep(1000);
    }
    EXPECT_TRUE(started);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readText(target), "old contents\n");
    // The debris is hidden from the cruise's globs and cleared by the next run.
    const auto removed = removeTemporaryFiles(dir.path(), [](std::string_view) { return false; });
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(std::filesystem::path(removed[0]).filename().string().substr(0, 7), ".q.009.");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
