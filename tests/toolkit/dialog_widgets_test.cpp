// The dialogs as Qt widgets in a real main window (offscreen platform): input
// delivered to the widgets reports as a person's would, the widgets mirror
// the field store, and the dialog's keys come before the accelerators.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>

#include "tests/toolkit/dialog_reports.h"
#include "toolkit/core.h"
#include "toolkit/dialogs.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

using namespace toolkit;

namespace {

QWidget* widgetOf(int dialog, int field) {
    const LoadedDialog* d = findDialog(dialog);
    const int index = d ? d->tpl.indexOf(field) : -1;
    for (QWidget* w : clientArea()->findChildren<QWidget*>()) {
        const QVariant v = w->property("dropfixField");
        if (v.isValid() && v.toInt() == index && w->isVisibleTo(clientArea()) == d->shown &&
            w->parentWidget()->parentWidget()->property("dialogId").toInt() == dialog)
            return w;
    }
    return nullptr;
}

class DialogWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        wasHeadless_ = headless();
        setHeadless(false);
        resetSession();
        WInitialise(" ");
        WindowOpen(WindowRecord{39, -1, -1, 900, 700, 0, "dialog widgets"});
        ASSERT_NE(clientArea(), nullptr);
        clientArea()->window()->activateWindow();
        QApplication::setActiveWindow(clientArea()->window());
        WMessageEnable(EventType::FieldChanged, 1);
        for (int id : {103, 104, 105, 106, 108}) WDialogLoad(id);
        ASSERT_EQ(WInfoError(1), 0);
        reports();
    }
    void TearDown() override {
        WindowClose();
        setHeadless(wasHeadless_);
    }

    static std::vector<Report> reports() {
        QApplication::processEvents();
        std::vector<Report> out;
        for (const auto& [type, e] : core().queue) out.push_back(reportOf(type, e));
        core().queue.clear();
        return out;
    }
    static void run(const std::vector<std::string>& words) {
        std::string error;
        ASSERT_TRUE(runDialogScriptCommand(words, error)) << error;
    }
    static int focusedField() {
        QWidget* w = QApplication::focusWidget();
        for (; w; w = w->parentWidget())
            if (w->property("dropfixField").isValid()) break;
        if (!w) return 0;
        const LoadedDialog* d = findDialog(w->parentWidget()->parentWidget()->property("dialogId").toInt());
        return d ? d->field(w->property("dropfixField").toInt()).id : 0;
    }

private:
    bool wasHeadless_ = false;
};

TEST_F(DialogWidgets, ClickOnRadioOfGroupWhoseOtherButtonHadTheFocus) {
    WDialogSelect(103);
    WDialogShow(100, 100, 1009, 2);
    EXPECT_EQ(reports(), (std::vector{changed(103, 0, 1009)}));
    EXPECT_TRUE(dialogHasKeyboard());
    run({"click", "103", "1038"});
    EXPECT_EQ(reports(), (std::vector{changed(103, 1009, 1038), changed(103, 1038, 1038)}));
    auto* mouse = dynamic_cast<QRadioButton*>(widgetOf(103, 1009));
    auto* depth = dynamic_cast<QRadioButton*>(widgetOf(103, 1038));
    ASSERT_TRUE(mouse && depth);
    EXPECT_FALSE(mouse->isChecked());
    EXPECT_TRUE(depth->isChecked());
    int index = 0;
    WDialogGetRadioButton(1009, index);
    EXPECT_EQ(index, 2);
    // A second click leaves the button on and reports the state again.
    run({"click", "103", "1038"});
    EXPECT_EQ(reports(), (std::vector{changed(103, 1038, 1038)}));
    EXPECT_TRUE(depth->isChecked());
}

TEST_F(DialogWidgets, PlotRangeOkRefusedWithFocusBackAndTextSelected) {
    WDialogSelect(108);
    WDialogPutReal(1022, 0.0f);
    WDialogShow(-1, -1, 0, 3);
    EXPECT_EQ(WInfoError(1), ToolkitError::ShownNonModal);
    for (const char* bad : {"-10.1", "50.1"}) {
        SCOPED_TRACE(bad);
        run({"type", "108", "1022", bad});
        reports();
        run({"click", "108", "1"});
        EXPECT_EQ(reports(), (std::vector{changed(108, 1022, 1), changed(108, 1, 1022)}));
        EXPECT_EQ(focusedField(), 1022);
        auto* edit = dynamic_cast<QLineEdit*>(widgetOf(108, 1022));
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->selectedText(), QString::fromLatin1(bad));
    }
    run({"type", "108", "1022", "-10.0"});
    run({"type", "108", "1023", "50.0"});
    reports();
    run({"click", "108", "1"});
    EXPECT_EQ(reports(), (std::vector{changed(108, 1023, 1), pushed(108, 1)}));
    float lo = 0;
    WDialogGetReal(1022, lo);
    EXPECT_EQ(lo, -10.0f);
}

TEST_F(DialogWidgets, EnterPressesOkEscapePressesCancelBeforeAccelerators) {
    WDialogSelect(104);
    WDialogShow(-1, -1, 1018, 3);
    reports();
    auto key = [](int k, const QString& text) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(QApplication::focusWidget(), &e);
    };
    key(Qt::Key_Q, "q");  // typed into the field, never an accelerator
    EXPECT_EQ(reports(), std::vector<Report>{});
    key(Qt::Key_Return, "\r");  // "q" is not a number: refused, focus stays
    EXPECT_EQ(reports(), std::vector<Report>{});
    WDialogPutInteger(1018, 12);
    key(Qt::Key_Return, "\r");
    EXPECT_EQ(reports(), (std::vector{pushed(104, 1)}));
    key(Qt::Key_Escape, "");
    EXPECT_EQ(reports(), (std::vector{pushed(104, 2)}));
    // Tab moves through the fields in template order.
    key(Qt::Key_Tab, "");
    EXPECT_EQ(focusedField(), 1);
}

TEST_F(DialogWidgets, WidgetsMirrorTheStore) {
    WDialogSelect(105);
    // A dialog's widgets are made when it is first shown; hidden, they go on
    // mirroring the store.
    WDialogShow(0, 0, 0, 2);
    WDialogHide();
    reports();
    const std::vector<std::string> rows{"  10.0  15.000  1", "  12.0  14.500  1"};
    WDialogPutMenu(1029, rows, 2, 2);
    auto* list = dynamic_cast<QListWidget*>(widgetOf(105, 1029));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    // A list that takes the focus with nothing chosen still has nothing chosen.
    WDialogPutMenu(1029, rows, 2, 0);
    WDialogShow(0, 0, 1029, 2);
    EXPECT_EQ(reports(), (std::vector{changed(105, 0, 1029)}));
    int row = 0;
    WDialogGetMenu(1029, row);
    EXPECT_EQ(row, -999);
    run({"select", "105", "1029", "2"});
    EXPECT_EQ(reports(), (std::vector{changed(105, 1029, 1029)}));
    WDialogGetMenu(1029, row);
    EXPECT_EQ(row, 2);
    EXPECT_TRUE(list->item(1)->isSelected());

    WDialogSelect(106);
    WDialogShow(300, 300, 0, 2);
    WDialogFieldState(1034, 0);
    EXPECT_FALSE(widgetOf(106, 1034)->isEnabled());
    run({"click", "106", "1034"});  // dimmed: the click does nothing
    int index = 0;
    WDialogGetRadioButton(1009, index);
    EXPECT_EQ(index, 1);
    WDialogPutString(1007, "Depth 123.4 m");
    EXPECT_EQ(widgetOf(106, 1007)->property("text").toString(), "Depth 123.4 m");

    // Hiding a dialog with the focus does not hand the focus to another
    // dialog's field.
    WDialogSelect(105);
    WDialogHide();
    EXPECT_EQ(reports(), std::vector<Report>{});
    std::string error;
    EXPECT_FALSE(runDialogScriptCommand({"select", "105", "1029", "1"}, error));
}

TEST_F(DialogWidgets, ReshowKeepsPositionAndWindowCloseUnloads) {
    WDialogSelect(104);
    WDialogShow(1000, 1000, 0, 2);
    QWidget* frame = widgetOf(104, 1)->parentWidget()->parentWidget();
    const QPoint at = frame->pos();
    frame->move(at + QPoint(30, 20));
    WDialogShow(5000, 5000, 0, 2);
    EXPECT_EQ(frame->pos(), at + QPoint(30, 20));
    WindowClose();
    WDialogSelect(104);
    EXPECT_EQ(WInfoError(1), ToolkitError::NotLoaded);
    WindowOpen(WindowRecord{39, -1, -1, 900, 700, 0, "again"});
}

TEST_F(DialogWidgets, TitleStripMovesTheDialogAndTheCloseBoxIsCancel) {
    WDialogSelect(108);
    WDialogShow(1000, 1000, 0, 2);
    reports();
    QWidget* frame = widgetOf(108, 1)->parentWidget()->parentWidget();
    const QPoint at = frame->pos();
    auto mouse = [frame](QEvent::Type t, QPoint p, Qt::MouseButtons held) {
        QMouseEvent e(t, QPointF(p), QPointF(p), frame->mapToGlobal(QPointF(p)), Qt::LeftButton, held,
                      Qt::NoModifier);
        QApplication::sendEvent(frame, &e);
    };
    mouse(QEvent::MouseButtonPress, {20, 8}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {60, 38}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {60, 38}, Qt::NoButton);
    EXPECT_EQ(frame->pos(), at + QPoint(40, 30));
    EXPECT_EQ(reports(), std::vector<Report>{});
    const QPoint box(frame->width() - 12, 10);
    mouse(QEvent::MouseButtonPress, box, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, box, Qt::NoButton);
    EXPECT_EQ(reports(), (std::vector{pushed(108, 2)}));
}

// Screenshots of the five dialogs over a drawn test pattern, for a person to
// look at. Written where DROPFIX_SHOTS points, when it is set.
TEST_F(DialogWidgets, ScreenshotsOverATestPattern) {
    const QByteArray dir = qgetenv("DROPFIX_SHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "DROPFIX_SHOTS not set";
    auto pattern = [] {
        IGrUnits(0, 0, 100, 100);
        IGrColourModel(24);
        for (int i = 0; i <= 100; i += 10) {
            IGrColourN(WRGB(200, 200, 255));
            IGrMoveTo(float(i), 0);
            IGrLineTo(float(i), 100);
            IGrMoveTo(0, float(i));
            IGrLineTo(100, float(i));
        }
        IGrColourN(WRGB(255, 0, 0));
        IGrMoveTo(0, 0);
        IGrLineTo(100, 100);
        IGrColourN(WRGB(0, 128, 0));
        IGrMoveTo(0, 100);
        IGrLineTo(100, 0);
    };
    for (int id : {103, 104, 105, 106, 108}) {
        pattern();
        WDialogSelect(id);
        WDialogShow(500, 500, 0, 2);
        QApplication::processEvents();
        const QString path = QDir(QString::fromLocal8Bit(dir)).filePath(QString("dialog%1.png").arg(id));
        EXPECT_TRUE(clientArea()->window()->grab().save(path));
        WDialogHide();
    }
}

}  // namespace
