// The pointer file, the paths built from it and from a chosen control.dat,
// and the check that control.dat can be opened.
#include "app/paths.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace {

class PathsTest : public AppTest {
protected:
    void zuldir(const std::string& firstLine) { write(drive / "zuldir.txt", firstLine + "\nsecond line\n"); }
    PathText adir;
    int len_adir = -5;
    ErrorFlags ierror{};
};

TEST_F(PathsTest, GetdirTakesTheTextBeforeTheQuestionMarkAndEndsItWithASeparator) {
    zuldir("/data/cruise?anything");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(len_adir, 13);
    EXPECT_EQ(adir.cols(1, 13), "/data/cruise/");
    EXPECT_EQ(adir.trimmed(), "/data/cruise/anything");  // the rest stays as it was

    zuldir("/data/cruise/?");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(len_adir, 13);  // no second separator
    EXPECT_EQ(adir.trimmed(), "/data/cruise/?");
}

TEST_F(PathsTest, GetdirWithoutQuestionMarkOrWithItInColumnOneGivesTheRoot) {
    zuldir("/data/cruise");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(len_adir, 1);
    EXPECT_EQ(adir.at(1), '/');

    zuldir("?/data");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(len_adir, 1);
    EXPECT_EQ(adir.trimmed(), "//data");
    EXPECT_EQ(ierror[7] + ierror[17], 0);
}

TEST_F(PathsTest, GetdirFallsBackToTheSecondLocationAndFlagsWhatFails) {
    write(drive / "Users/Public/Documents/zuldir.txt", "/second/?\r\n");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(adir.cols(1, static_cast<std::size_t>(len_adir)), "/second/");

    write(drive / "Users/Public/Documents/zuldir.txt", "");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(ierror[17], 1);
    EXPECT_EQ(ierror[7], 0);
    EXPECT_EQ(len_adir, 0);

    std::filesystem::remove(drive / "Users/Public/Documents/zuldir.txt");
    EXPECT_FALSE(getdir(adir, len_adir, ierror));
    EXPECT_EQ(ierror[7], 1);
    EXPECT_EQ(ierror[17], 0);
    EXPECT_EQ(adir.trimmedLength(), 0u);
}

TEST_F(PathsTest, GetdirNeverCutsADirectoryLongerThan120Characters) {
    zuldir(std::string(130, 'a') + "?");
    const auto e = getdir(adir, len_adir, ierror);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->path, std::string(130, 'a'));
    zuldir(std::string(120, 'a') + "?");
    EXPECT_TRUE(getdir(adir, len_adir, ierror));  // its separator would not fit
}

TEST(DosPath, DriveAndBackslashesMapToTheDriveDirectory) {
    ::setenv("DROPFIX_DRIVE_C", "/opt/zul/", 1);
    EXPECT_EQ(dosPath("c:\\zuldir.txt"), "/opt/zul/zuldir.txt");
    EXPECT_EQ(dosPath("c:\\\\xbt-archive\\qcref.htm"), "/opt/zul/xbt-archive/qcref.htm");
    ::unsetenv("DROPFIX_DRIVE_C");
    EXPECT_EQ(dosPath("c:\\Users\\Public\\Documents\\zuldir.txt"), "/Users/Public/Documents/zuldir.txt");
}

TEST_F(PathsTest, GetpathTakesTheDirectoryOfControlDat) {
    getpath(PathText("/a/b/control.dat"), adir, len_adir, ierror);
    EXPECT_EQ(len_adir, 5);
    EXPECT_EQ(adir.trimmed(), "/a/b/");

    // A directory named like the file is not the file: its parent would be
    // another cruise.
    getpath(PathText("/x/control.dat.d/control.dat"), adir, len_adir, ierror);
    EXPECT_EQ(adir.trimmed(), "/x/control.dat.d/");
    EXPECT_EQ(len_adir, 17);
    EXPECT_EQ(ierror[40], 0);
    getpath(PathText("/x/control.dat.d/other.dat"), adir, len_adir, ierror);
    EXPECT_EQ(ierror[40], 1);
    ierror[40] = 0;
    len_adir = 5;

    adir = PathText("old");
    getpath(PathText("/a/b/other.dat"), adir, len_adir, ierror);
    EXPECT_EQ(ierror[40], 1);
    EXPECT_EQ(adir.trimmedLength(), 0u);
    EXPECT_EQ(len_adir, 5);  // unchanged
}

Paths pathsFor(std::string_view acwd, std::string_view adir, int idatadir) {
    Paths p;
    p.acwd = PathText(acwd);
    p.len_acwd = static_cast<int>(acwd.size());
    p.adir = PathText(adir);
    p.len_adir = static_cast<int>(adir.size());
    p.idatadir = idatadir;
    return p;
}

TEST_F(PathsTest, SetpathUsesDataBelowADirectorySharingTheFirst26Characters) {
    // Equal in their first 26 characters: the cruise files lie in Data/,
    // the log stays in the directory itself.
    Paths p = pathsFor("/home/operator/xbt-cruises/Execs", "/home/operator/xbt-cruises/C1/", 1);
    PathText f1r;
    ASSERT_FALSE(setpath(p, f1r, ierror));
    EXPECT_EQ(p.astations.trimmed(), "/home/operator/xbt-cruises/C1/Data/stations.dat");
    EXPECT_EQ(p.acontrol.trimmed(), "/home/operator/xbt-cruises/C1/Data/control.dat");
    EXPECT_EQ(p.adropfix.trimmed(), "/home/operator/xbt-cruises/C1/dropfix.log");
    EXPECT_EQ(f1r.trimmed(), "/home/operator/xbt-cruises/C1/Data/");
    EXPECT_EQ(p.len_dirpath, 30 + 5);

    // Differing within 26 characters, or idatadir 0: no Data/.
    p = pathsFor("/home/operator/xbt-cruises/Execs", "/home/operator/xbt-other/C1/", 1);
    ASSERT_FALSE(setpath(p, f1r, ierror));
    EXPECT_EQ(p.astations.trimmed(), "/home/operator/xbt-other/C1/stations.dat");
    p = pathsFor("/home/operator/xbt-cruises/Execs", "/home/operator/xbt-cruises/C1/", 0);
    ASSERT_FALSE(setpath(p, f1r, ierror));
    EXPECT_EQ(p.acontrol.trimmed(), "/home/operator/xbt-cruises/C1/control.dat");
    EXPECT_EQ(p.len_dirpath, 30);
}

TEST_F(PathsTest, SetpathWithoutDirectoryGivesBareNamesAndInMode2FollowsControlDat) {
    Paths p = pathsFor("/w", "", 1);
    PathText f1r;
    ASSERT_FALSE(setpath(p, f1r, ierror));
    EXPECT_EQ(p.astations.trimmed(), "stations.dat");
    EXPECT_EQ(p.adropfix.trimmed(), "dropfix.log");
    EXPECT_EQ(p.acontrol.trimmed(), "control.dat");

    p = pathsFor("/w", "/ignored/", 0);
    p.idirmode = 2;
    p.acontrol = PathText("/cruise/x/control.dat");
    ASSERT_FALSE(setpath(p, f1r, ierror));
    EXPECT_EQ(p.adir.trimmed(), "/cruise/x/");
    EXPECT_EQ(p.astations.trimmed(), "/cruise/x/stations.dat");
    EXPECT_EQ(p.acontrol.trimmed(), "/cruise/x/control.dat");
}

TEST_F(PathsTest, SetpathReportsANameThatWouldNotFit) {
    const std::string dir = "/" + std::string(107, 'd') + "/";
    Paths p = pathsFor("/w", dir, 0);
    PathText f1r;
    const auto e = setpath(p, f1r, ierror);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->path, dir + "stations.dat");
}

TEST_F(PathsTest, ChkcntrlAsksAgainUntilAChosenFileOpensOrTheOperatorCancels) {
    PathText acontrol("/nowhere/control.dat");
    int icntrlok = -1, ifirst = 1;
    EXPECT_FALSE(chkcntrl(acontrol, icntrlok, ifirst));
    EXPECT_EQ(icntrlok, 0);  // nothing queued: cancelled
    EXPECT_EQ(ifirst, 0);
    auto files = toolkit::takeFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].title, "Select directory with control.dat & s files");
    EXPECT_EQ(files[0].filter, "Data Files (*.dat)|*.dat|");
    EXPECT_EQ(files[0].pathIn, "/nowhere/control.dat");

    write(root / "cruise/control.dat", "x\n");
    toolkit::queueFile((root / "missing/control.dat").string());
    toolkit::queueFile((root / "cruise/control.dat").string());
    ifirst = 1;
    EXPECT_FALSE(chkcntrl(acontrol, icntrlok, ifirst));
    EXPECT_EQ(icntrlok, 1);
    EXPECT_EQ(ifirst, 0);
    EXPECT_EQ(acontrol.trimmed(), (root / "cruise/control.dat").string());
    EXPECT_EQ(toolkit::takeFiles().size(), 2u);

    ifirst = 1;
    EXPECT_FALSE(chkcntrl(acontrol, icntrlok, ifirst));  // opens at once
    EXPECT_EQ(ifirst, 1);
    EXPECT_TRUE(toolkit::takeFiles().empty());

    acontrol = PathText("/nowhere/control.dat");
    toolkit::queueFile("/" + std::string(130, 'x'));
    EXPECT_TRUE(chkcntrl(acontrol, icntrlok, ifirst));
}

}  // namespace
