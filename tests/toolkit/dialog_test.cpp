// The dialog operations on the field store in test mode (no window): empty
// values and failure codes, radio groups, the FieldChanged and PushButton
// reports of clicks and typing, and OK refused for a bad number field.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/toolkit/dialog_reports.h"
#include "toolkit/dialogs.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

using namespace toolkit;

namespace {

class HeadlessDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        wasHeadless_ = headless();
        setHeadless(true);
        resetSession();
        WInitialise(" ");
        WindowOpen(WindowRecord{39, -1, -1, 800, 600, 0, "dialogs"});
        WMessageEnable(EventType::FieldChanged, 1);
        for (int id : {103, 104, 105, 106, 108}) WDialogLoad(id);
        ASSERT_EQ(WInfoError(1), 0);
    }
    void TearDown() override {
        WindowClose();
        setDialogResources({});
        setHeadless(wasHeadless_);
    }

    // Every event reported since the last call.
    static std::vector<Report> reports() {
        std::vector<Report> out;
        for (;;) {
            int type = 0;
            EventRecord e;
            WMessage(type, e);
            if (type == EventType::CloseRequest) return out;
            out.push_back(reportOf(type, e));
        }
    }

    static void show(int dialog, int focus = 0) {
        WDialogSelect(dialog);
        WDialogShow(-1, -1, focus, 2);
    }
    static void click(int dialog, int field) {
        std::string error;
        ASSERT_TRUE(dialogClick(dialog, field, error)) << error;
    }
    static void type(int dialog, int field, const std::string& text) {
        std::string error;
        ASSERT_TRUE(dialogType(dialog, field, text, error)) << error;
    }
    static int radio(int field) {
        int index = -1;
        WDialogGetRadioButton(field, index);
        return index;
    }

private:
    bool wasHeadless_ = false;
};

TEST_F(HeadlessDialogs, Dialog106LoadsWithCodesOffMouseOnAndStartDepthZero) {
    WDialogSelect(106);
    EXPECT_EQ(radio(1066), 0);
    EXPECT_EQ(WInfoError(1), ToolkitError::EmptyValue);
    EXPECT_EQ(radio(1034), 1);
    const LoadedDialog* d = findDialog(106);
    const int start = d->tpl.indexOf(1021);
    EXPECT_EQ(d->value(start).text, "0.000");
    EXPECT_EQ(d->field(start).align, Align::Centre);
    float depth = -1;
    WDialogGetReal(1021, depth);
    EXPECT_EQ(depth, 0.0f);
}

TEST_F(HeadlessDialogs, RadioGroupsFollowGroupStartsAndTemplateOrder) {
    WDialogSelect(106);
    WDialogPutRadioButton(1005);
    EXPECT_EQ(radio(1066), 23);
    EXPECT_EQ(radio(1087), 23);
    WDialogPutRadioButton(1071);
    EXPECT_EQ(radio(1005), 10);
    EXPECT_EQ(radio(1009), 1);  // the second group is untouched

    WDialogSelect(104);
    WDialogPutRadioButton(1059);
    EXPECT_EQ(radio(1058), 2);

    // Choosing the depth by hand leaves the code and class groups alone.
    show(103);
    click(103, 1038);
    WDialogSelect(103);
    EXPECT_EQ(radio(1009), 2);
    EXPECT_EQ(radio(1011), 1);
    EXPECT_EQ(radio(1062), 1);
    WDialogClearField(1063);
    EXPECT_EQ(radio(1062), 0);
    EXPECT_EQ(radio(1009), 2);
}

TEST_F(HeadlessDialogs, ClickOnRadioReportsFocusThenStateChange) {
    show(103, 1009);
    EXPECT_EQ(reports(), (std::vector{changed(103, 0, 1009)}));
    click(103, 1038);
    EXPECT_EQ(reports(), (std::vector{changed(103, 1009, 1038), changed(103, 1038, 1038)}));
    click(103, 1038);  // the focus is already there: only the state report
    EXPECT_EQ(reports(), (std::vector{changed(103, 1038, 1038)}));
    click(103, 2);
    EXPECT_EQ(reports(), (std::vector{changed(103, 1038, 2), pushed(103, 2)}));
    show(103, 1011);  // shown already: only brought to the front
    EXPECT_TRUE(reports().empty());
}

TEST_F(HeadlessDialogs, FieldChangedOffStillKeepsTheCurrentField) {
    WMessageEnable(EventType::FieldChanged, 0);
    show(108);
    click(108, 1047);
    EXPECT_TRUE(reports().empty());
    WMessageEnable(EventType::FieldChanged, 1);
    click(108, 1048);
    EXPECT_EQ(reports(), (std::vector{changed(108, 1047, 1048), changed(108, 1048, 1048)}));
    int on = -1;
    WDialogSelect(108);
    WDialogGetCheckBox(1047, on);
    EXPECT_EQ(on, 0);
}

TEST_F(HeadlessDialogs, PlotRangeOkRefusesTemperaturesOutsideTheRange) {
    show(108);
    for (const char* bad : {"-10.1", "50.1", "", "abc", "1e400"}) {
        SCOPED_TRACE(bad);
        type(108, 1022, bad);
        reports();
        click(108, 1);
        // No PushButton: the focus goes back to the field.
        EXPECT_EQ(reports(), (std::vector{changed(108, 1022, 1), changed(108, 1, 1022)}));
    }
    type(108, 1022, "-10.0");
    type(108, 1023, "50.0");
    reports();
    click(108, 1);
    EXPECT_EQ(reports(), (std::vector{changed(108, 1023, 1), pushed(108, 1)}));
    float lo = 0, hi = 0;
    WDialogSelect(108);
    WDialogGetReal(1022, lo);
    WDialogGetReal(1023, hi);
    EXPECT_EQ(lo, -10.0f);
    EXPECT_EQ(hi, 50.0f);
}

TEST_F(HeadlessDialogs, OkChecksEveryNumberFieldNotOnlyTheFocusedOne) {
    show(108);
    type(108, 1022, "60");
    type(108, 1023, "20");
    reports();
    click(108, 1);
    EXPECT_EQ(reports(), (std::vector{changed(108, 1023, 1), changed(108, 1, 1022)}));
    click(108, 2);  // Cancel is never refused
    EXPECT_EQ(reports(), (std::vector{changed(108, 1022, 2), pushed(108, 2)}));
}

TEST_F(HeadlessDialogs, DropNumberOutsideOneTo999IsRefused) {
    show(104);
    for (const char* text : {"0", "1000"}) {
        type(104, 1018, text);
        reports();
        click(104, 1);
        EXPECT_EQ(reports().back(), changed(104, 1, 1018)) << text;
    }
    type(104, 1018, "999");
    click(104, 1);
    EXPECT_EQ(reports().back(), pushed(104, 1));
}

TEST_F(HeadlessDialogs, IntegerAndRealEmptyValues) {
    show(108);
    WDialogSelect(108);
    WDialogClearField(1050);
    int n = 0;
    WDialogGetInteger(1050, n);
    EXPECT_EQ(n, -999);
    EXPECT_EQ(WInfoError(1), ToolkitError::EmptyValue);
    type(108, 1050, "2.9");
    WDialogGetInteger(1050, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(WInfoError(1), 0);
    type(108, 1050, "-2.9");
    WDialogGetInteger(1050, n);
    EXPECT_EQ(n, -2);
    type(108, 1050, "1e12");
    WDialogGetInteger(1050, n);
    EXPECT_EQ(n, 2147483647);
    WDialogClearField(1022);
    float v = 0;
    WDialogGetReal(1022, v);
    EXPECT_EQ(v, -999.0f);
    EXPECT_EQ(WInfoError(1), ToolkitError::EmptyValue);
}

TEST_F(HeadlessDialogs, PutRealUsesTheFieldFormat) {
    WDialogSelect(108);
    WDialogPutReal(1023, 30.0f);
    WDialogPutReal(1022, -2.25f);
    const LoadedDialog* d = findDialog(108);
    EXPECT_EQ(d->value(d->tpl.indexOf(1023)).text, "30.0");
    EXPECT_EQ(d->value(d->tpl.indexOf(1022)).text, "-2.3");
    WDialogPutReal(1022, 123456.0f);
    EXPECT_EQ(d->value(d->tpl.indexOf(1022)).text, "*****");
    WDialogSelect(103);
    WDialogPutReal(1030, 5.0f);
    const LoadedDialog* i = findDialog(103);
    EXPECT_EQ(i->value(i->tpl.indexOf(1030)).text, "5.000");
    WDialogPutString(1031, "  12.5   ");
    EXPECT_EQ(i->value(i->tpl.indexOf(1031)).text, "  12.5");
    WDialogPutString(1031, "     ");
    EXPECT_EQ(i->value(i->tpl.indexOf(1031)).text, "");
}

TEST_F(HeadlessDialogs, ListsFillSelectAndClear) {
    WDialogSelect(105);
    int row = 0;
    WDialogGetMenu(1029, row);
    EXPECT_EQ(row, -999);
    EXPECT_EQ(WInfoError(1), ToolkitError::EmptyValue);
    const std::vector<std::string> items{"   1.0  20.000  1  ", "   2.0  19.500  1", "   3.0  19.000  4",
                                         "unused"};
    WDialogPutMenu(1029, items, 3, 2);
    WDialogGetMenu(1029, row);
    EXPECT_EQ(row, 2);
    const LoadedDialog* d = findDialog(105);
    EXPECT_EQ(d->value(d->tpl.indexOf(1029)).items,
              (std::vector<std::string>{"   1.0  20.000  1", "   2.0  19.500  1", "   3.0  19.000  4"}));
    show(105);
    reports();
    std::string error;
    EXPECT_TRUE(dialogSelect(105, 1029, 3, error));
    EXPECT_EQ(reports(), (std::vector{changed(105, 0, 1029), changed(105, 1029, 1029)}));
    EXPECT_FALSE(dialogSelect(105, 1029, 4, error));
    WDialogSelect(105);
    WDialogClearField(1029);
    WDialogGetMenu(1029, row);
    EXPECT_EQ(row, -999);
}

TEST_F(HeadlessDialogs, FailureCodes) {
    WDialogSelect(104);
    WDialogPutString(4711, "x");
    EXPECT_EQ(WInfoError(1), ToolkitError::BadField);
    int index = 0;
    WDialogSelect(108);
    WDialogGetRadioButton(1047, index);  // a check box
    EXPECT_EQ(WInfoError(1), ToolkitError::BadField);
    WDialogLoad(999);
    EXPECT_EQ(WInfoError(1), ToolkitError::NoTemplate);
    WDialogSelect(107);
    EXPECT_EQ(WInfoError(1), ToolkitError::NotLoaded);
    WDialogShow(-1, -1, 0, 3);
    EXPECT_EQ(WInfoError(1), ToolkitError::ShownNonModal);
    EXPECT_TRUE(findDialog(108)->shown);

    WindowClose();
    WDialogSelect(104);
    EXPECT_EQ(WInfoError(1), ToolkitError::NotLoaded);
    WDialogPutString(1019, "x");
    EXPECT_EQ(WInfoError(1), ToolkitError::NoDialog);
    WindowOpen(WindowRecord{39, -1, -1, 800, 600, 0, "again"});
    WDialogLoad(104);
    WDialogSelect(104);
    EXPECT_EQ(WInfoError(1), 0);
}

TEST_F(HeadlessDialogs, MalformedResourceIsNotLoadedAndSaysWhy) {
    setDialogResources([](std::string_view name) -> std::optional<std::string_view> {
        if (name == templateResourceName(110))
            return "dialog 110 50 50 \"Broken\"\n1 button 1 1 x 14 - \"OK\"\n";
        return std::nullopt;
    });
    ::testing::internal::CaptureStderr();
    WDialogLoad(110);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(WInfoError(1), ToolkitError::CreateFailed);
    EXPECT_NE(said.find("dlg110-template.txt, line 2"), std::string::npos) << said;
    EXPECT_EQ(findDialog(110), nullptr);
    WDialogPutString(1035, "still dialog 108");  // the current dialog is unchanged
    EXPECT_EQ(WInfoError(1), 0);
}

TEST_F(HeadlessDialogs, ReloadKeepsContentsAndMakesCurrent) {
    WDialogSelect(104);
    WDialogPutString(1019, "stations.dat has 042 drops");
    WDialogSelect(108);
    WDialogLoad(104);
    WDialogPutInteger(1018, 7);
    const LoadedDialog* d = findDialog(104);
    EXPECT_EQ(d->value(d->tpl.indexOf(1019)).text, "stations.dat has 042 drops");
    EXPECT_EQ(d->value(d->tpl.indexOf(1018)).text, "7");
}

TEST_F(HeadlessDialogs, InputOnlyReachesShownEnabledFields) {
    std::string error;
    EXPECT_FALSE(dialogClick(106, 1, error));
    EXPECT_EQ(error, "dialog 106 is not shown");
    show(106);
    WDialogFieldState(1034, 3);
    EXPECT_FALSE(dialogClick(106, 1034, error));
    EXPECT_EQ(error, "field 1034 of dialog 106 is not shown");
    EXPECT_FALSE(dialogClick(106, 1026, error));  // static text takes no click
    EXPECT_FALSE(dialogType(106, 1066, "1", error));
    reports();
    WDialogFieldState(1005, 0);
    EXPECT_TRUE(dialogClick(106, 1005, error));  // dimmed: nothing happens
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(radio(1066), 0);
    WDialogFieldState(1005, 1);
    EXPECT_TRUE(runDialogScriptCommand({"click", "106", "1005"}, error)) << error;
    EXPECT_EQ(radio(1066), 23);
    EXPECT_FALSE(runDialogScriptCommand({"click", "106"}, error));
    EXPECT_FALSE(runDialogScriptCommand({"select", "105", "1029", "one"}, error));
    EXPECT_FALSE(runDialogScriptCommand({"type", "108", "1022", "5"}, error));
    EXPECT_EQ(error, "dialog 108 is not shown");
}

}  // namespace
