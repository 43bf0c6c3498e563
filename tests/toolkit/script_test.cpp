// Scripted sessions without a window system: commands become events, box
// and file answers are queued and transcribed, and a bad line or a script
// that runs out ends the program with its status.
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core_fixture.h"

namespace {

using tktest::Headless;

class Script : public Headless {
protected:
    void TearDown() override {
        toolkit::stopScript();
        Headless::TearDown();
    }
    void start(const std::string& text) {
        // One file per test and process: CTest runs the tests side by side.
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const auto file = std::filesystem::temp_directory_path() /
                          ("tkcore-script-" + std::string(info->name()) + "-" + std::to_string(getpid()) + ".txt");
        std::ofstream(file.string()) << text;
        std::string error;
        ASSERT_TRUE(toolkit::startScript(file.string(), error)) << error;
        std::filesystem::remove(file);
    }
};

TEST_F(Script, CommandsBecomeEventsOneWaitAtATime) {
    start("# comment\n\nmenu 40012\nkey b\nkey Enter\nresize 800 600\nexpose\nclose\n");
    int type = 0;
    EventRecord e;
    WMessage(type, e);
    EXPECT_EQ(type, EventType::MenuSelect);
    EXPECT_EQ(e.data1, 40012);
    WMessage(type, e);
    EXPECT_EQ(e.data1, 40002);
    WMessage(type, e);
    EXPECT_EQ(e.data1, 40009);
    WMessage(type, e);
    EXPECT_EQ(type, EventType::Resize);
    EXPECT_EQ(e.data1, 800);
    EXPECT_EQ(e.data2, 600);
    WMessage(type, e);
    EXPECT_EQ(type, EventType::Expose);
    WMessage(type, e);
    EXPECT_EQ(type, EventType::CloseRequest);
}

TEST_F(Script, MouseAtTemperatureAndDepth) {
    IGrUnits(-2, -1000, 30, 0);
    start("mouse down 14 250\nmouse up 14 250\nmouse down 14 250 3\n");
    int type = 0;
    EventRecord e;
    WMessage(type, e);  // the up is not reported by default
    EXPECT_EQ(type, EventType::MouseButDown);
    EXPECT_NEAR(e.unitX, 14.0, 0.05);
    EXPECT_NEAR(e.unitY, -250.0, 1.0);
    WMessage(type, e);
    EXPECT_EQ(e.data1, 3);
}

TEST_F(Script, AnswersAreQueuedAndTranscribed) {
    start("answer no\nfile /tmp/x y.dat\nmenu 40001\n");
    int type = 0;
    EventRecord e;
    testing::internal::CaptureStdout();
    WMessage(type, e);
    WMessageBox(3, 2, 1, "Restart?\rSure", "Information!");
    WMessageBox(0, 3, 1, "Error opening c:\\\\xbt-archive\\qcref.htm.", "Error Info");
    std::string path = "start";
    WSelectFile("Data Files (*.dat)|*.dat|", 0, path, "Pick");
    WSelectFile("Data Files (*.dat)|*.dat|", 0, path, "Again");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "box \"Information!\" \"Restart?\\rSure\" -> no\n"
              "box \"Error Info\" \"Error opening c:\\\\xbt-archive\\qcref.htm.\" -> ok (default)\n"
              "file \"Pick\" -> /tmp/x y.dat\n"
              "file \"Again\" -> cancel (default)\n");
    EXPECT_EQ(path, "/tmp/x y.dat");
}

TEST_F(Script, ControlCharactersInABoxAreEscapedAndNothingIsCutShort) {
    start("menu 40001\n");
    int type = 0;
    EventRecord e;
    WMessage(type, e);
    testing::internal::CaptureStdout();
    using namespace std::string_view_literals;
    WMessageBox(0, 3, 1, "nul\0after\x01\x1b\x7f\tend"sv, "Error\0Info"sv);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "box \"Error\\x00Info\" \"nul\\x00after\\x01\\x1b\\x7f\\tend\" -> ok (default)\n");
}

using ScriptDeathTest = Script;

TEST_F(ScriptDeathTest, ScriptThatRunsOutWhileWaitingEndsWithThree) {
    start("menu 40007\n");
    int type = 0;
    EventRecord e;
    WMessage(type, e);
    EXPECT_EXIT(WMessage(type, e), testing::ExitedWithCode(3), "script ended");
}

TEST_F(ScriptDeathTest, BadLineEndsWithTwoNamingTheLine) {
    for (const char* line : {"frob 1", "menu 39999", "answer maybe", "mouse sideways 1 2", "key F12",
                             "resize 0 10", "click 104 1"}) {
        start(std::string("menu 40001\n") + line + "\n");
        int type = 0;
        EventRecord e;
        WMessage(type, e);
        EXPECT_EXIT(WMessage(type, e), testing::ExitedWithCode(2), std::string("line 2 \"") + line + "\"");
    }
}

}  // namespace
