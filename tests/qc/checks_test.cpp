// The class pass and the code pass.
#include <memory>

#include "qc/checks.h"
#include "tests/qc/qc_fixture.h"

using CheckClass = QcTest;
using CheckCode = QcTest;

TEST_F(CheckClass, RaisesClassesDownTheProfile) {
    classes({0, 0, 0});
    checkclass(cur, 3);
    EXPECT_EQ(classesOf(3), (std::vector<int>{1, 1, 1}));

    classes({1, 3, 2, 0, 4, 1});
    checkclass(cur, 6);
    EXPECT_EQ(classesOf(6), (std::vector<int>{1, 3, 3, 3, 4, 4}));
}

TEST_F(CheckClass, ClassFiveAndStrayValuesAreSkipped) {
    classes({3, 5, 1, 7, 0, -1, 2});
    checkclass(cur, 7);
    EXPECT_EQ(classesOf(7), (std::vector<int>{3, 5, 3, 7, 3, -1, 3}));
}

TEST_F(CheckClass, WorksOverTheGivenLengthOnly) {
    classes({4, 0, 0});
    checkclass(cur, 2);
    EXPECT_EQ(classesOf(3), (std::vector<int>{4, 4, 0}));
    cur.iclass[ndepmax] = 0;
    checkclass(cur, ndepmax + 50);  // clamped to the store
    EXPECT_EQ(cur.iclass[ndepmax], 4);
    checkclass(cur, -3);
}

TEST_F(CheckCode, InversionAndClassTwoCodesFollowTheirClass) {
    classes({2, 3, 1, 2, 1, 1, 5});
    const char* codes[] = {"IV", "IV", "PI", "NU", "TD", "IV", "NU"};
    for (int i = 0; i < 7; ++i) cur.code[i + 1] = QcCode(codes[i]);
    EXPECT_EQ(checkcode(cur, 7), 0);
    EXPECT_TRUE(cur.code[1] == "PI");  // and not deleted again as a PI
    EXPECT_TRUE(cur.code[2] == "");
    EXPECT_TRUE(cur.code[3] == "");
    EXPECT_TRUE(cur.code[4] == "PI");
    EXPECT_TRUE(cur.code[5] == "");
    EXPECT_TRUE(cur.code[6] == "IV");
    EXPECT_TRUE(cur.code[7] == "");
    EXPECT_EQ(classesOf(7), (std::vector<int>{2, 3, 1, 2, 1, 1, 5}));
    const auto boxes = toolkit::takeBoxes();
    const std::vector<std::string> want{
        "Changed IV to PI for Class consistency!", "Deleted IV for Class consistency!",
        "Deleted PI for Class consistency!",       "Changed NU to PI for Class consistency!",
        "Deleted TD for Class consistency!",       "Deleted NU for Class consistency!"};
    ASSERT_EQ(boxes.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(boxes[i].message, want[i]);
        EXPECT_EQ(boxes[i].title, "Information!");
        EXPECT_EQ(boxes[i].buttons, 1);
        EXPECT_EQ(boxes[i].icon, 2);
        EXPECT_EQ(boxes[i].defaultButton, 1);
    }
}

TEST_F(CheckCode, TwoHbsOfAFormKeepTheDeeperOne) {
    classes({2, 3, 2, 3, 4, 4, 4});
    for (int i = 1; i <= 7; ++i) cur.code[i] = QcCode("HB");
    EXPECT_EQ(checkcode(cur, 7), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"You have 2 HBAs marked, deleting first one.",
                                                    "You have 2 HBRs marked, deleting first one."}));
    for (int i : {1, 2}) EXPECT_TRUE(cur.code[i] == "") << i;
    for (int i : {3, 4, 5, 6, 7}) EXPECT_TRUE(cur.code[i] == "HB") << i;  // class 4 never counts
}

TEST_F(CheckCode, ThreeHbsRefuseTheProfile) {
    classes({3, 2, 2, 2});
    const char* codes[] = {"IV", "HB", "HB", "HB"};
    for (int i = 0; i < 4; ++i) cur.code[i + 1] = QcCode(codes[i]);
    EXPECT_EQ(checkcode(cur, 4), 1);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Deleted IV for Class consistency!",
                                                    "You have too many HBs marked, redo your edits."}));
    for (int i : {2, 3, 4}) EXPECT_TRUE(cur.code[i] == "HB");
}

TEST_F(CheckCode, LooksOnlyAtTheGivenLength) {
    classes({1, 3});
    cur.code[2] = QcCode("IV");
    EXPECT_EQ(checkcode(cur, 1), 0);
    EXPECT_TRUE(cur.code[2] == "IV");
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(CheckClass, StoreFormCoversTheLoadedLengthOfTheCurrentDrop) {
    auto store = std::make_unique<ProfileStore>();
    (*store)[2].npts = 2;  // cut after point 2
    (*store)[4].npts = 4;
    for (int i = 1; i <= 4; ++i) (*store)[2].iclass[i] = i == 3 ? 4 : 0;
    (*store)[2].code[4] = QcCode("TD");
    checkclass(*store);
    EXPECT_EQ(checkcode(*store), 0);
    EXPECT_EQ((*store)[2].iclass[4], 4);
    EXPECT_TRUE((*store)[2].code[4] == "");
}
