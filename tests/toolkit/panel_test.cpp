// The panel beside the plot: while it has the keyboard the main window's
// keys do not act, Enter and a double click report the row, Escape and the
// close box give the keyboard back; the same with and without a window.
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>

#include "core_fixture.h"
#include "toolkit/panel.h"

namespace {

using tktest::Headless;
using tktest::Windowed;

void threeRows() {
    const std::vector<std::string> titles{"Drop", "Status"};
    WPanelColumns(titles);
    const std::vector<PanelCells> rows{{"001", "accepted"}, {"002", "bad"}, {"003", "not edited"}};
    WPanelRows(rows);
    WPanelMark(2);
    WPanelShow();
}

// The events the keys gave, as (type, data1).
std::vector<std::pair<int, int>> events() {
    std::vector<std::pair<int, int>> v;
    int type = 0;
    EventRecord e;
    while (tktest::nextEvent(type, e)) v.emplace_back(type, e.data1);
    return v;
}

using Events = std::vector<std::pair<int, int>>;

TEST_F(Headless, PanelTakesTheKeysUntilEscape) {
    threeRows();
    for (auto [key, text] : {std::pair{Qt::Key_W, "w"}, {Qt::Key_Down, ""}, {Qt::Key_Return, "\r"}})
        toolkit::handleMainWindowKey(key, 0, text);
    EXPECT_EQ(events(), (Events{{EventType::PanelRow, 3}}));
    toolkit::handleMainWindowKey(Qt::Key_Escape, 0, "\x1b");
    toolkit::handleMainWindowKey(Qt::Key_W, 0, "w");
    EXPECT_EQ(events(), (Events{{EventType::MenuSelect, 40006}}));
    EXPECT_TRUE(WPanelShown());
}

TEST_F(Windowed, PanelTakesTheKeysUntilEscapeAndItsCloseBoxHidesIt) {
    threeRows();
    tktest::drain();  // the plot's Resize as the panel takes its room
    auto* table = toolkit::mainWindowWidget()->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), table);
    for (int key : {Qt::Key_W, Qt::Key_Down, Qt::Key_Return, Qt::Key_X}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Return ? "\r" : "w");
        QCoreApplication::sendEvent(table, &press);
    }
    EXPECT_EQ(events(), (Events{{EventType::PanelRow, 3}}));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    QCoreApplication::sendEvent(table, &escape);
    EXPECT_EQ(QApplication::focusWidget(), toolkit::clientArea());
    toolkit::mainWindowWidget()->findChild<QDockWidget*>()->close();
    tktest::settle();
    EXPECT_FALSE(WPanelShown());
    EXPECT_EQ(toolkit::panelView().rows.size(), 3u) << "the rows stay for the next show";
}

}  // namespace

namespace {

TEST_F(Windowed, NotesHeadingWiderThanThePanelWrapsAndShowsWhole) {
    threeRows();
    WPanelNotes("Drop 020: no findings", {});
    tktest::settle();
    const auto* dock = toolkit::mainWindowWidget()->findChild<QDockWidget*>();
    const int width = dock->width();
    const std::string hint =
        "Drop 020: A or a double click opens a finding in the QC dialog, where Apply takes it as any code "
        "chosen there";
    WPanelNotes(hint, std::vector<std::string>{"SPR 310.0 m: Spike"});
    tktest::settle();
    QLabel* heading = nullptr;
    for (QLabel* l : toolkit::mainWindowWidget()->findChildren<QLabel*>())
        if (l->text().toStdString() == hint) heading = l;
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(dock->width(), width) << "the table, not the hint, sets the panel's width";
    EXPECT_LE(heading->width(), dock->widget()->contentsRect().width());
    ASSERT_GT(heading->fontMetrics().horizontalAdvance(heading->text()), heading->width())
        << "the case needs a hint longer than the panel is wide";
    EXPECT_GT(heading->heightForWidth(heading->width()), heading->fontMetrics().height()) << "it wraps";
    EXPECT_GE(heading->height(), heading->heightForWidth(heading->width())) << "every line of it shows";
}

TEST_F(Windowed, WideTableLeavesThePlotItsShare) {
    const std::vector<std::string> titles{"Drop", "Findings"};
    WPanelColumns(titles);
    const std::vector<PanelCells> rows{{"001", std::string(300, 'W')}};
    WPanelRows(rows);
    WPanelShow();
    tktest::settle();
    const QWidget* plot = toolkit::clientArea();
    const int window = toolkit::mainWindowWidget()->width();
    EXPECT_LE(toolkit::mainWindowWidget()->findChild<QDockWidget*>()->width(), window * 3 / 5);
    EXPECT_GE(plot->width(), window / 3) << "the plot stays in sight beside the panel";
}

}  // namespace
