// Slot transfers of the profile store: loading, backup and restart.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "profile/profile_store.h"

namespace {

std::unique_ptr<ProfileStore> loadedStore(int n) {
    auto store = std::make_unique<ProfileStore>();
    std::vector<float> d(ndepmax), t(ndepmax);
    for (int i = 0; i < ndepmax; ++i) {
        d[i] = -0.65f * (i + 1);
        t[i] = 28.0f - 0.01f * i;
    }
    xferarray(d, t, n, SlotLabel("r_007 -12.50 155.00TA"), 2, *store);
    clearqc((*store)[2], (*store)[2].nread);
    (*store)[2].npts = (*store)[2].nread;
    backupcurrent(*store);
    return store;
}

TEST(ProfileStore, TransferFillsTheSlotUpToItsLimitAndNoFurther) {
    ProfileStore store;
    store[1].t[6] = 99.0f;
    store[1].iclass[1] = 3;
    std::vector<float> d(ndepmax + 10, -1.0f), t(ndepmax + 10, 5.0f);
    xferarray(std::span<const float>(d).first(5), std::span<const float>(t).first(5), 5, SlotLabel("r_001"),
              1, store);
    EXPECT_EQ(store[1].nread, 5);
    EXPECT_EQ(store[1].t[5], 5.0f);
    EXPECT_EQ(store[1].t[6], 99.0f) << "points beyond n are left as they were";
    EXPECT_EQ(store[1].iclass[1], 3) << "classes are not the transfer's business";
    EXPECT_EQ(store[1].ainfo, "r_001");

    // A count beyond the buffers or the store never reaches past point 2000.
    xferarray(d, t, 2500, SlotLabel("r_002"), 3, store);
    EXPECT_EQ(store[3].nread, ndepmax);
    EXPECT_EQ(store[3].depth[ndepmax], -1.0f);
    xferarray(std::span<const float>(d).first(10), std::span<const float>(t).first(10), 40,
              SlotLabel("r_003"), 3, store);
    EXPECT_EQ(store[3].nread, 10);
    xferarray(d, t, 5, SlotLabel("r_004"), 5, store);  // no such slot: nothing happens
    xferarray(d, t, -3, SlotLabel("r_005"), 3, store);
    EXPECT_EQ(store[3].nread, 0);
}

TEST(ProfileStore, RestartUndoesInterpolationCodesAndCuts) {
    auto store = loadedStore(ndepmax);
    SlotData& cur = (*store)[2];
    ASSERT_EQ((*store)[4].npts, ndepmax);
    const float loaded = cur.t[100];
    cur.t[100] = 12.0f;
    cur.iclass[100] = 5;
    cur.code[1] = QcCode("SP");
    cur.iclass[1] = 2;
    cur.npts = 900;  // a cut
    cur.ainfo = SlotLabel("changed");
    EXPECT_EQ((*store)[4].t[100], loaded) << "the copy keeps the temperature as loaded";

    restorecurrent(*store);
    EXPECT_EQ(cur.t[100], loaded);
    EXPECT_EQ(cur.iclass[100], 0);
    EXPECT_EQ(cur.iclass[1], 0);
    EXPECT_EQ(cur.code[1], QcCode());
    EXPECT_EQ(cur.npts, ndepmax);
    EXPECT_EQ(cur.nread, ndepmax);
    EXPECT_EQ(cur.ainfo, "r_007 -12.50 155.00TA");
}

}  // namespace
