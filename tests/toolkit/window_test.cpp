// The toolkit base: menu resource, main window opening and closing, message
// boxes, file selection and the help document.
#include <QFileDialog>
#include <QMenuBar>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core_fixture.h"
#include "toolkit/menu.h"

namespace {

using tktest::Headless;
using tktest::Windowed;

TEST(MenuResource, ShippedMenuHasTheTwelveCommandsInBarOrder) {
    const auto menu = toolkit::loadMenuResource(30001);
    ASSERT_TRUE(menu.error.empty()) << menu.error;
    const int ids[] = {40004, 40009, 40002, 40005, 40010, 40012, 40006, 40008, 40011, 40003, 40001, 40007};
    const char* keys[] = {"F", "Enter", "B", "I", "N", "Q", "W", "R", "P", "T", "H", "X"};
    ASSERT_EQ(menu.items.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(menu.items[i].id, ids[i]);
        EXPECT_EQ(menu.items[i].key, keys[i]);
    }
    EXPECT_EQ(menu.items[0].text, "&File");
    EXPECT_EQ(menu.items[1].text, "<Enter>Cut");
    EXPECT_EQ(menu.items[11].text, "E&xit");
    EXPECT_EQ(menu.items[2].status, "Mark entire profile bad (set class=4 at surface)");
    EXPECT_EQ(menu.items[4].status, "Choose new drop to edit");
    EXPECT_EQ(menu.items[5].status, "Choose QC class codes");
    EXPECT_EQ(menu.items[9].status, "Mark as TP Test Probe");
    EXPECT_EQ(menu.items[0].status, "");
}

TEST(MenuResource, DamagedResourceIsAnErrorNamingTheLine) {
    for (const char* bad : {"40004|F|&File\n", "4x004|F|&File|\n", "40004|Ctrl+F|&File|\n", "40004|F||\n",
                            "# only a comment\n", ""}) {
        const auto m = toolkit::parseMenuResource(bad);
        EXPECT_FALSE(m.error.empty()) << bad;
        EXPECT_TRUE(m.items.empty()) << bad;
    }
    const auto m = toolkit::parseMenuResource("40004|F|&File|\r\n40004|F|&File\n");
    EXPECT_NE(m.error.find("line 2"), std::string::npos) << m.error;
    EXPECT_FALSE(toolkit::loadMenuResource(12345).error.empty());
}

TEST(WindowOpenSize, ZeroOrNegativeTakesEightyPercentOfTheScreen) {
    int w = 0, h = 0;
    toolkit::clientSizeForScreen(0, 0, 1280, 1024, w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 819);
    toolkit::clientSizeForScreen(-1, 300, 1280, 1024, w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 300);
}

TEST_F(Windowed, OpensWithTheAskedClientSizeTitleAndMenuBar) {
    QWidget* area = toolkit::clientArea();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->width(), 640);
    EXPECT_EQ(area->height(), 480);
    EXPECT_EQ(toolkit::clientWidth(), 640);
    auto* win = toolkit::mainWindowWidget();
    EXPECT_EQ(win->windowTitle(), "Dropfix TEST");
    const auto actions = win->menuBar()->actions();
    ASSERT_EQ(actions.size(), 12);
    EXPECT_EQ(actions[5]->text(), "&QC-Codes");
    EXPECT_EQ(actions[5]->data().toInt(), 40012);
    EXPECT_EQ(actions[5]->statusTip(), "Choose QC class codes");
    EXPECT_EQ(toolkit::clientPixel(10, 10), WRGB(255, 255, 255));
}

TEST_F(Windowed, HighlightedMenuItemShowsItsStatusString) {
    QMenuBar* bar = toolkit::mainWindowWidget()->menuBar();
    QStatusBar* status = toolkit::mainWindowWidget()->statusBar();
    auto hover = [bar](int index) {
        const QPoint at = bar->actionGeometry(bar->actions()[index]).center();
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
    };
    hover(4);
    EXPECT_EQ(status->currentMessage(), "Choose new drop to edit");
    hover(2);
    EXPECT_EQ(status->currentMessage(), "Mark entire profile bad (set class=4 at surface)");
    hover(0);  // File has no status string
    EXPECT_EQ(status->currentMessage(), "");
}

TEST_F(Windowed, SecondOpenLeavesTheFirstWindowAsItWas) {
    QWidget* area = toolkit::clientArea();
    auto other = tktest::mainRecord(300, 200);
    other.title = "Other";
    WindowOpen(other);
    tktest::settle();
    EXPECT_EQ(toolkit::clientArea(), area);
    EXPECT_EQ(area->width(), 640);
    EXPECT_EQ(toolkit::mainWindowWidget()->windowTitle(), "Dropfix TEST");
}

TEST_F(Windowed, CloseAndOpenAgainResetsTheEventTableAndDrawingState) {
    WMessageEnable(EventType::FieldChanged, 1);
    WMessageEnable(EventType::KeyDown, 0);
    IGrUnits(0, 0, 100, 100);
    WindowClose();
    EXPECT_EQ(toolkit::clientArea(), nullptr);
    EXPECT_FALSE(toolkit::eventEnabled(EventType::FieldChanged));
    EXPECT_TRUE(toolkit::eventEnabled(EventType::KeyDown));
    WMessageEnable(EventType::FieldChanged, 1);
    WindowOpen(tktest::mainRecord());
    tktest::settle();
    EXPECT_FALSE(toolkit::eventEnabled(EventType::FieldChanged));
    float x = 0, y = 0;
    IGrUnitsFromPixels(0, 0, x, y);
    EXPECT_LT(x, 0.01f);  // back to the 0..1 units
}

TEST_F(Headless, MessageBoxTakesQueuedAnswerOrItsDefaultButton) {
    toolkit::queueAnswer(toolkit::Answer::No);
    WMessageBox(3, 2, 1, "Really?   ", "Information!  ");
    EXPECT_EQ(WInfoDialog(4), 2);
    WMessageBox(1, 2, 2, "Go on?", "Information!");  // default is the second button, Cancel
    EXPECT_EQ(WInfoDialog(4), 0);
    WMessageBox(5, 3, 1, "Disk", "Error Info");  // Abort
    EXPECT_EQ(WInfoDialog(4), 2);
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].message, "Really?");
    EXPECT_EQ(boxes[0].title, "Information!");
    EXPECT_FALSE(boxes[0].usedDefault);
    EXPECT_TRUE(boxes[1].usedDefault);
}

TEST_F(Headless, FileSelectionCancelledGivesZeroAndKeepsThePath) {
    std::string path = "/start/control.dat";
    toolkit::queueFile(std::nullopt);
    WSelectFile("Data Files (*.dat)|*.dat|", 168, path, "Select directory with control.dat & s files");
    EXPECT_EQ(WInfoDialog(4), 0);
    EXPECT_EQ(path, "/start/control.dat");
    WSelectFile("Data Files (*.dat)|*.dat|", 168, path, " ");  // nothing queued: cancelled too
    EXPECT_EQ(WInfoDialog(4), 0);
    const auto files = toolkit::takeFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1].title, "Select File");
}

TEST_F(Headless, FileChosenWithFlagEightBecomesTheWorkingDirectory) {
    const auto before = std::filesystem::current_path();
    const auto dir = std::filesystem::temp_directory_path() / ("tkcore-select-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream((dir / "control.dat").string()) << "x\n";
    std::string path;
    toolkit::queueFile((dir / "control.dat").string());
    WSelectFile("Data Files (*.dat)|*.dat|", 168, path, "t");
    EXPECT_EQ(WInfoDialog(4), 1);
    EXPECT_EQ(path, (dir / "control.dat").string());
    EXPECT_EQ(std::filesystem::canonical(std::filesystem::current_path()), std::filesystem::canonical(dir));
    std::filesystem::current_path(before);
    toolkit::queueFile((dir / "control.dat").string());
    WSelectFile("", 128, path, "t");  // without flag 8 the directory stays
    EXPECT_EQ(std::filesystem::current_path(), before);
    std::filesystem::remove_all(dir);
}

TEST_F(Windowed, RealFileDialogCancelledGivesZero) {
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) static_cast<QDialog*>(w)->reject();
    });
    std::string path = "/tmp";
    WSelectFile("Data Files (*.dat)|*.dat|", 168, path, "Select");
    EXPECT_EQ(WInfoDialog(4), 0);
    EXPECT_EQ(path, "/tmp");
}

TEST_F(Windowed, HelpMissingGivesCodeOneOnceAndFoundBesideTheProgram) {
    WInfoError(1);
    WHelpFile("/nonexistent-dir/no-such-help.htm");
    EXPECT_EQ(WInfoError(1), 1);
    EXPECT_EQ(WInfoError(1), 0);

    // Not at the path given, but by its file name in the program's own directory.
    const auto beside = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
                        "tkcore-help-test.htm";
    std::ofstream(beside.string()) << "<html><body><h1>QC reference</h1></body></html>\n";
    WHelpFile("c:\\\\xbt-archive\\tkcore-help-test.htm");
    EXPECT_EQ(WInfoError(1), 0);
    WHelpFile(beside.string());
    EXPECT_EQ(WInfoError(1), 0);
    std::filesystem::remove(beside);
}

}  // namespace
