// The cruise overview driven as an operator drives it: keys in the panel,
// a row chosen by Enter and by a double click, Escape, and the writes that
// follow, checked in the station list, the edited files and the log.
#include <gtest/gtest.h>

#include "session.h"

namespace {

TEST_F(Session, OverviewGoesToDropsThatAreThenWritten) {
    ASSERT_EQ(run({"key O",                 // the panel takes the keyboard, on drop 1
                   "key W",                 // a key of the main window: not acted on here
                   "key Down", "key Down",  // to drop 3
                   "key Enter",             // goes there, the keyboard back on the plot
                   "key B",                 // drop 3 marked bad, on drop 4
                   "overview 5", "key W",   // a double click on drop 5, written
                   "key O", "key O",        // closed and opened again, with the keyboard
                   "key Escape", "key T",   // back to the plot: drop 6 a test probe
                   "screenshot " + (root / "overview.png").string(), "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{3, -1}, {5, 1}, {6, -4}}));
    EXPECT_EQ(editedFiles(), 6);
    EXPECT_EQ(firstRecord("DEMO01q.003").substr(14, 4), "4 NG");
    EXPECT_EQ(out, "");
    // Only the drop loading reads raw files into the log: the overview's own
    // reads leave no record.
    EXPECT_EQ(rawRecords(), rawRecordsOf({2, 1, 2, 4, 3, 5, 4, 4, 6, 5, 7, 6, 8, 7}));
    EXPECT_TRUE(fs::exists(root / "overview.png"));
}

TEST_F(Session, OverviewRowThatIsNotShownEndsTheScript) {
    EXPECT_EQ(run({"overview 5"}), 2);
    EXPECT_NE(err.find("the overview is not shown"), std::string::npos) << err;
    EXPECT_EQ(run({"key O", "overview 21"}), 2);
    EXPECT_NE(err.find("the overview has no row 21"), std::string::npos) << err;
}

}  // namespace
