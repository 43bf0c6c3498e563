// The start-up as a whole: which directory becomes the cruise directory,
// the records of both logs, the chosen control.dat, the window title and
// the paths that do not fit.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <memory>

#include "app_fixture.h"

namespace {

const std::string control = "Ship Name =x\nCruise Name =IN2026V01\nOperator Name =y\nMax Plot  Temp = 31\n";

class StartupTest : public AppTest {
protected:
    Outcome startIn(const std::filesystem::path& dir) {
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        return startup(*st);
    }
    std::unique_ptr<State> st = std::make_unique<State>();
};

TEST_F(StartupTest, AnyOtherWorkingDirectoryIsTheCruiseDirectory) {
    write(drive / "zuldir.txt", (root / "elsewhere").string() + "/?\n");
    const auto cruise = root / "cruise";
    write(cruise / "control.dat", control);
    ASSERT_FALSE(startIn(cruise).ends());
    EXPECT_EQ(st->paths.idirmode, 2);
    EXPECT_EQ(st->paths.idatadir, 0);
    EXPECT_EQ(st->paths.astations.trimmed(), (cruise / "stations.dat").string());
    EXPECT_EQ(st->acruise.trimmed(), "IN2026V");
    EXPECT_FLOAT_EQ(st->plot.tmax, 31.0f);
    EXPECT_EQ(st->files.f1r.trimmed(), (cruise / "IN2026Vr_001.KTD").string());
    EXPECT_EQ(st->files.f3q.trimmed(), (cruise / "IN2026Vq.001").string());
    EXPECT_EQ(st->files.ieditktd, 1);

    const std::string startLog = read(cruise / "dropfix-start.log");
    const std::string acwd = PathText(cruise.string()).str();
    EXPECT_EQ(
        startLog.rfind("dropfix,acwd= " + acwd + "\nlen_acwd= " + std::to_string(cruise.string().size()) +
                           "\npcwin \nafter getdir,zuldir.txt=\n" + (root / "elsewhere").string() + "/\n",
                       0),
        0u);
    EXPECT_NE(startLog.find("\nastations= " + PathText((cruise / "stations.dat").string()).str() + "\n"),
              std::string::npos);
    const std::string mainLog = read(cruise / "dropfix.log");
    EXPECT_EQ(mainLog.rfind("adropfix= " + PathText((cruise / "dropfix.log").string()).str() + "\n", 0), 0u);
    EXPECT_NE(mainLog.find("\nf1r= " + PathText(cruise.string() + "/").str() + "\n"), std::string::npos);
    EXPECT_NE(mainLog.find("\nacruise= IN2026V        len_acruise= 7\ntmin= 0  tmax= 31\n"),
              std::string::npos);
}

TEST_F(StartupTest, WithoutAPointerFileItsFlagIsLogged) {
    write(root / "control.dat", control);
    ASSERT_FALSE(startIn(root).ends());
    EXPECT_NE(read(root / "dropfix-start.log").find("\nierror( 7 )= 1\n"), std::string::npos);
}

TEST_F(StartupTest, TheDirectoryOfThePointerFileWinsWhenItsFirst36CharactersMatch) {
    const auto cruise = root / std::string(40, 'c');
    write(drive / "zuldir.txt", cruise.string() + "?\n");
    write(cruise / "Data/control.dat", control);
    ASSERT_FALSE(startIn(cruise).ends());
    EXPECT_EQ(st->paths.idirmode, 1);
    EXPECT_EQ(st->paths.acontrol.trimmed(), (cruise / "Data/control.dat").string());
    EXPECT_EQ(st->paths.adropfix.trimmed(), (cruise / "dropfix.log").string());
    EXPECT_TRUE(std::filesystem::exists(cruise / "dropfix.log"));
}

TEST_F(StartupTest, StartedFromExecsThePointerFileDecidesEvenWhenItDiffers) {
    const std::size_t prefix = root.string().size() + 1;
    if (prefix > 27) GTEST_SKIP() << "temporary directory too long to place Execs in columns 28-32";
    const auto execs = root / (std::string(27 - prefix, 'x') + "Execs");
    const auto cruise = root / (std::string(27 - prefix, 'x') + "Cruise");
    write(drive / "zuldir.txt", cruise.string() + "?\n");
    write(cruise / "Data/control.dat", control);
    ASSERT_FALSE(startIn(execs).ends());
    EXPECT_EQ(PathText(execs.string()).cols(28, 32), "Execs");
    EXPECT_EQ(st->paths.idirmode, 1);
    EXPECT_EQ(st->paths.astations.trimmed(), (cruise / "Data/stations.dat").string());
    EXPECT_EQ(st->files.f1r.trimmed(), (cruise / "Data/IN2026Vr_001.KTD").string());
}

TEST_F(StartupTest, AChosenControlDatMovesEveryPath) {
    const auto other = root / "other";
    write(other / "control.dat", control);
    toolkit::queueFile((other / "control.dat").string());
    ASSERT_FALSE(startIn(root / "empty").ends());
    EXPECT_EQ(st->paths.ifirst, 0);
    EXPECT_EQ(st->paths.idirmode, 2);
    EXPECT_EQ(st->paths.astations.trimmed(), (other / "stations.dat").string());
    EXPECT_TRUE(std::filesystem::exists(other / "dropfix.log"));
}

TEST_F(StartupTest, CancellingTheSelectionEndsWithoutAMessage) {
    const Outcome o = startIn(root / "empty");
    EXPECT_TRUE(o.ends());
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
    EXPECT_EQ(toolkit::takeFiles().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(root / "empty/dropfix.log"));
}

TEST_F(StartupTest, AWorkingDirectoryBeyond120CharactersEndsWithItsMessage) {
    const auto deep = root / std::string(60, 'a') / std::string(60, 'b');
    const Outcome o = startIn(deep);
    EXPECT_EQ(o.status, 1);
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Path too long for Dropfix (120 characters at most): " + deep.string());
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_NE(read(deep / "dropfix-start.log").find("Path too long for Dropfix"), std::string::npos);
}

TEST(WindowTitle, DropfixABlankAndUpToSevenCharactersOfTheCruise) {
    EXPECT_EQ(windowtitle(FixedText<13>("IN2026V01"), 9), "Dropfix IN2026V");
    EXPECT_EQ(windowtitle(FixedText<13>("SS03"), 4), "Dropfix SS03   ");
    EXPECT_EQ(windowtitle(FixedText<13>(""), 0), "Dropfix        ");
}

}  // namespace
