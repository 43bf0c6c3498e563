// Properties of the class pass, the interpolation and the cut over many
// generated profiles. The generator is seeded, so a failure repeats.
#include <algorithm>
#include <random>

#include "qc/checks.h"
#include "qc/cut.h"
#include "qc/gapint.h"
#include "tests/qc/qc_fixture.h"

class Properties : public QcTest {
protected:
    int anyLength() { return std::uniform_int_distribution<int>(0, 120)(rng); }
    // Depths increase downward by 0 to 3 m (repeated depths happen), with
    // temperatures anywhere from -2 to 30 degrees.
    int randomProfile() {
        const int n = anyLength();
        std::uniform_real_distribution<float> step(0.0f, 3.0f), temp(-2.0f, 30.0f);
        float d = step(rng);
        for (int i = 1; i <= ndepmax; ++i) {
            cur.depth[i] = -d;
            cur.t[i] = temp(rng);
            if (std::uniform_int_distribution<int>(0, 9)(rng) != 0) d += step(rng);
        }
        return n;
    }
    std::mt19937 rng{20261209};
};

TEST_F(Properties, ClassPassNeverLeavesABetterClassBelowAWorseOne) {
    std::uniform_int_distribution<int> anyClass(-1, 6);
    for (int round = 0; round < 500; ++round) {
        const int n = anyLength();
        for (int i = 1; i <= n + 1; ++i) cur.iclass[i] = anyClass(rng);
        const SlotData before = cur;
        checkclass(cur, n);
        int worst = 1;
        for (int i = 1; i <= n; ++i) {
            const int c = cur.iclass[i];
            if (c >= 0 && c <= 4) {
                ASSERT_GE(c, worst) << "round " << round << " point " << i;
                ASSERT_GE(c, before.iclass[i]);
                worst = c;
            } else {
                ASSERT_EQ(c, before.iclass[i]);
            }
        }
        ASSERT_EQ(cur.iclass[n + 1], before.iclass[n + 1]);
    }
}

TEST_F(Properties, GapintChangesOnlyPointsBetweenItsFinalEnds) {
    for (int round = 0; round < 2000; ++round) {
        const int n = randomProfile();
        std::uniform_int_distribution<int> anyIndex(-3, n + 3);
        int ind1 = anyIndex(rng), ind2 = anyIndex(rng);
        const SlotData before = cur;
        const bool done = gapint(ind1, ind2, cur, n);
        ASSERT_EQ(cur.depth, before.depth);
        if (!done) {
            ASSERT_EQ(ind1, -1);
            ASSERT_EQ(cur.t, before.t);
            continue;
        }
        ASSERT_TRUE(1 <= ind1 && ind1 + 1 < ind2 && ind2 <= n) << ind1 << " " << ind2;
        const float lo = std::min(cur.t[ind1], cur.t[ind2]) - 1e-3f;
        const float hi = std::max(cur.t[ind1], cur.t[ind2]) + 1e-3f;
        for (int i = 0; i <= ndepmax; ++i) {
            if (i > ind1 && i < ind2) {
                ASSERT_TRUE(cur.t[i] >= lo && cur.t[i] <= hi) << "round " << round << " point " << i;
            } else {
                ASSERT_EQ(cur.t[i], before.t[i]) << "round " << round << " point " << i;
            }
        }
    }
    toolkit::takeBoxes();
}

TEST_F(Properties, CutAndWireBreakStayWithinTheProfile) {
    std::uniform_real_distribution<float> anyDepth(-10.0f, 400.0f);
    for (int round = 0; round < 1000; ++round) {
        const int n = randomProfile() - 5;  // sometimes negative
        const float cutdepth = anyDepth(rng);
        const int above = cut(cutdepth, cur, n);
        ASSERT_GE(above, 0);
        ASSERT_LE(above, std::max(n, 0));
        for (int i = 1; i <= above; ++i) ASSERT_GE(cur.depth[i], -cutdepth);
        if (above < n) {
            ASSERT_LT(cur.depth[above + 1], -cutdepth);
        }

        const auto b = fndbrk(cur, n, round % 2);
        if (n <= 0) {
            ASSERT_EQ(b.npbr, 0);
        } else {
            ASSERT_TRUE(b.npbr >= 1 && b.npbr <= n);
            ASSERT_EQ(b.xdbr, -cur.depth[b.npbr]);
        }
    }
}
