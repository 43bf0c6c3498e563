// The event queue: default reporting table, enabling, the accelerators and
// their silence while a dialog field has the keyboard, pointer events in user
// units, and the close request.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

#include "core_fixture.h"

namespace {

using tktest::Headless;
using tktest::Windowed;

void sendKey(QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(to, &release);
}

TEST_F(Headless, DefaultTableReportsTheUsualTypesOnly) {
    for (int t : {1, 2, 3, 4, 7, 8, 9, 13, 14, 18}) EXPECT_TRUE(toolkit::eventEnabled(t)) << t;
    for (int t : {5, 6, 10, 11, 12, 15, 16, 17, 0, 19, -1}) EXPECT_FALSE(toolkit::eventEnabled(t)) << t;
}

TEST_F(Headless, DisabledTypesNeverReachTheEditor) {
    EventRecord e;
    e.data1 = 7;
    toolkit::postEvent(EventType::MouseButUp, e);  // off by default: dropped
    WMessageEnable(EventType::MouseButUp, 1);
    toolkit::postEvent(EventType::MouseButUp, e);
    toolkit::postEvent(EventType::KeyDown, e);
    WMessageEnable(EventType::KeyDown, 0);  // switched off while one is queued
    WMessageEnable(EventType::MouseButUp, 2);  // not a state: ignored
    WMessageEnable(99, 1);
    int type = 0;
    WMessage(type, e);
    EXPECT_EQ(type, EventType::MouseButUp);
    EXPECT_EQ(e.data1, 7);
    // Nothing else is left; with no window system the loop hears a close request.
    WMessage(type, e);
    EXPECT_EQ(type, EventType::CloseRequest);
}

TEST_F(Headless, AcceleratorsWithoutWindowSystem) {
    toolkit::handleMainWindowKey(Qt::Key_Q, 0, "q");
    toolkit::handleMainWindowKey(Qt::Key_Enter, Qt::KeypadModifier, "\r");
    int type = 0;
    EventRecord e;
    WMessage(type, e);
    EXPECT_EQ(type, EventType::MenuSelect);
    EXPECT_EQ(e.data1, 40012);
    WMessage(type, e);
    EXPECT_EQ(e.data1, 40009);
}

TEST_F(Windowed, SingleKeysRunTheirMenuCommands) {
    QWidget* area = toolkit::clientArea();
    const std::pair<int, int> keys[] = {{Qt::Key_B, 40002}, {Qt::Key_Return, 40009}, {Qt::Key_Enter, 40009},
                                        {Qt::Key_X, 40007}, {Qt::Key_F, 40004},      {Qt::Key_T, 40003}};
    for (const auto& [key, id] : keys) {
        sendKey(area, key);
        int type = 0;
        EventRecord e;
        ASSERT_TRUE(tktest::nextEvent(type, e));
        EXPECT_EQ(type, EventType::MenuSelect);
        EXPECT_EQ(e.data1, id);
        EXPECT_FALSE(tktest::nextEvent(type, e)) << "one event per key";
    }
}

TEST_F(Windowed, KeysWithModifiersOrWithoutCommandAreKeyDown) {
    QWidget* area = toolkit::clientArea();
    sendKey(area, Qt::Key_B, Qt::ControlModifier);
    sendKey(area, Qt::Key_Z, Qt::NoModifier, "z");
    int type = 0;
    EventRecord e;
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::KeyDown);
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::KeyDown);
    EXPECT_EQ(e.data1, 'z');
    EXPECT_FALSE(tktest::nextEvent(type, e));
}

TEST_F(Windowed, LetterTypedIntoAFieldOfTheClientAreaRunsNoCommand) {
    // A dialog's field lives inside the client area; a Q typed there is text.
    QLineEdit field(toolkit::clientArea());
    field.show();
    field.setFocus();
    tktest::settle();
    sendKey(&field, Qt::Key_Q, Qt::NoModifier, "q");
    sendKey(&field, Qt::Key_Return, Qt::NoModifier, "\r");  // unused by the field, climbs to the window
    int type = 0;
    EventRecord e;
    while (tktest::nextEvent(type, e)) EXPECT_NE(type, EventType::MenuSelect);
    EXPECT_EQ(field.text(), "q");
}

TEST_F(Windowed, MenuBarItemsReportTheirIds) {
    for (QAction* a : toolkit::mainWindowWidget()->menuBar()->actions()) {
        a->trigger();
        int type = 0;
        EventRecord e;
        ASSERT_TRUE(tktest::nextEvent(type, e));
        EXPECT_EQ(type, EventType::MenuSelect);
        EXPECT_EQ(e.data1, a->data().toInt());
    }
}

TEST_F(Windowed, PointerEventsCarryUserUnitsAndTheWheelIsButtonsFourAndFive) {
    IGrUnits(-2, -1000, 30, 0);
    // Temperature 14 at depth 250: column 16/32 of 640, row 250/1000 of 480.
    toolkit::deliverPointer(EventType::MouseButDown, 320, 120, 1);
    toolkit::deliverPointer(EventType::MouseMove, 330, 120, 1);  // off by default
    toolkit::deliverPointer(EventType::MouseButUp, 320, 120, 1);  // off by default
    toolkit::deliverPointer(EventType::MouseButDown, 320, 120, 5);
    int type = 0;
    EventRecord e;
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::MouseButDown);
    EXPECT_EQ(e.data1, 1);
    EXPECT_EQ(e.x, 320);
    EXPECT_EQ(e.y, 120);
    EXPECT_NEAR(e.unitX, 14.0, 0.05);
    EXPECT_NEAR(e.unitY, -250.0, 2.1);
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::MouseButDown);
    EXPECT_EQ(e.data1, 5);
    EXPECT_FALSE(tktest::nextEvent(type, e));

    WMessageEnable(EventType::MouseMove, 1);
    toolkit::deliverPointer(EventType::MouseMove, 330, 120, 1);
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::MouseMove);
    EXPECT_EQ(e.data1, -1);
}

TEST_F(Windowed, CloseBoxIsARequestAndTheWindowStays) {
    toolkit::mainWindowWidget()->close();
    int type = 0;
    EventRecord e;
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::CloseRequest);
    EXPECT_TRUE(toolkit::mainWindowWidget()->isVisible());
}

TEST_F(Windowed, RestoredWindowIsReportedAsExposed) {
    QWidget* top = toolkit::mainWindowWidget();
    top->hide();
    top->show();
    int type = 0;
    EventRecord e;
    bool exposed = false;
    while (tktest::nextEvent(type, e)) exposed = exposed || type == EventType::Expose;
    EXPECT_TRUE(exposed);
}

}  // namespace

TEST_F(Windowed, ADragFromThePlotEndsOnThePlotEvenOverADialog) {
    WDialogLoad(103);
    WDialogShow(5000, 0, 0, 2);  // over the top of the right half
    tktest::drain();
    WMessageEnable(EventType::MouseMove, 1);
    WMessageEnable(EventType::MouseButUp, 1);
    const auto next = [] {
        int type = 0;
        EventRecord e;
        return tktest::nextEvent(type, e) ? std::pair{type, e.x} : std::pair{0, 0};
    };
    toolkit::deliverPointer(EventType::MouseButDown, 400, 100, 1);  // on the dialog: not the plot's
    EXPECT_EQ(next(), std::pair(0, 0));
    toolkit::deliverPointer(EventType::MouseButDown, 100, 100, 1);
    toolkit::deliverPointer(EventType::MouseMove, 400, 100, 1);
    toolkit::deliverPointer(EventType::MouseButUp, 410, 100, 1);
    EXPECT_EQ(next(), std::pair(EventType::MouseButDown, 100));
    EXPECT_EQ(next(), std::pair(EventType::MouseMove, 400));
    EXPECT_EQ(next(), std::pair(EventType::MouseButUp, 410));
    toolkit::deliverPointer(EventType::MouseMove, 400, 100, 1);  // released: the dialog's again
    EXPECT_EQ(next(), std::pair(0, 0));
}
