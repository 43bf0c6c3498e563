// The pre-screen on drops measured at sea (tests/data/real): each shows a
// fault that synthetic water never had, and the checks must name it at its
// depth and suggest nothing harmful.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/prescreen.h"

namespace {

// A raw drop as the editor's report hands it in: the whole record, with the
// cut that the load proposes.
struct Drop {
    std::vector<float> depth, t;
    std::size_t cut = 0;
    DropProfile view() const {
        DropProfile d{depth, t};
        d.cut = cut;
        return d;
    }
    // As a neighbour: down to its cut.
    DropProfile reference() const {
        DropProfile d = view();
        d.depth = d.depth.first(cut);
        d.t = d.t.first(cut);
        return d;
    }
};

Drop readdrop(const std::string& name) {
    const std::string path = std::string(DROPFIX_SOURCE_DIR) + "/tests/data/real/" + name + ".KTD";
    const std::string dir = std::string(DROPFIX_SOURCE_DIR) + "/tests/data/real/";
    const RawDrop rd = rddropfix(FileName(path), static_cast<int>(dir.size() + 5), fallrateA, fallrateB, {});
    Drop d;
    d.depth.assign(rd.depth.begin(), rd.depth.begin() + rd.n);
    d.t.assign(rd.t.begin(), rd.t.begin() + rd.n);
    SlotData s{};
    for (int i = 1; i <= clampPoints(rd.n); ++i) {
        s.depth[static_cast<std::size_t>(i)] = d.depth[static_cast<std::size_t>(i - 1)];
        s.t[static_cast<std::size_t>(i)] = d.t[static_cast<std::size_t>(i - 1)];
    }
    d.cut = static_cast<std::size_t>(fndbrk(s, clampPoints(rd.n), 1).npbr);
    return d;
}

std::string describe(const std::vector<Finding>& f) {
    std::string s;
    for (const auto& x : f)
        s += "\n  " + std::string(x.code.view()) + " " + std::to_string(x.depth) + " " + x.sentence;
    return s;
}

}  // namespace

TEST(PrescreenReal, NamesEachFaultAtItsDepthAndSuggestsNoSurfaceEditBelowIt) {
    struct Row {
        const char* drop;
        const char* before;  // neighbours, "" for none
        const char* after;
        const char* code;   // the finding that must be there
        float depth;        // within 5 m
        const char* never;  // codes that must not be suggested
    };
    const Row rows[] = {
        {"AX10Br_004", "", "", "HB", 34.2f, "PL CS SA WB"},
        {"AX10Br_013", "", "", "HB", 790.7f, "PL CS SA"},
        {"AX10Br_015", "", "", "WB", 30.0f, "PL CS SA HB"},
        {"AX10Br_022", "", "", "WB", 886.6f, "PL CS SA HB"},
        {"AX10Br_089", "AX10Br_088", "AX10Br_090", "WB", 922.8f, "HB TD TO EF"},
        {"AX10Br_093", "", "", "WB", 22.0f, "PL CS SA HB"},
        {"AX07Ar_009", "", "", "TP", 0.6f, "HB"},
        {"AX08Cr_015", "", "", "TP", 0.6f, "HB PL CS SA"},
        {"AX08Cr_020", "", "", "WB", 0.6f, "HB PL CS SA"},
        // Steps into a climb: the break is above the steps, and the climb
        // is no inversion to confirm.
        {"IX21Ar_013", "", "", "WB", 879.6f, "PI HB PL CS SA"},
        // The probe settling on the floor after its strike, then drifting.
        {"AX10Br_164", "", "", "HB", 646.7f, "PL CS SA WB"},
        {"AX07Ar_013", "", "", "HB", 707.9f, "PL CS SA WB"},
        {"AX10Br_172", "", "", "HB", 249.8f, "PL CS SA WB"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.drop);
        const Drop d = readdrop(r.drop);
        Drop before, after;
        Neighbours around;
        DropProfile bp, ap;
        if (*r.before) {
            before = readdrop(r.before);
            bp = before.reference();
            around.ref = &bp;
        }
        if (*r.after) {
            after = readdrop(r.after);
            ap = after.reference();
            around.next = &ap;
        }
        const auto f = prescreen(d.view(), around, Thresholds{});
        bool found = false;
        for (const auto& x : f) {
            found = found || (x.code == r.code && std::fabs(x.depth - r.depth) <= 5.0f);
            EXPECT_EQ(std::string(r.never).find(std::string(x.code.view())), std::string::npos)
                << describe(f);
        }
        EXPECT_TRUE(found) << r.code << " at " << r.depth << describe(f);
    }
}

// A whole drop 1.5 degrees too warm between two similar neighbours is still
// found at 700 m, while the drop as measured draws no difference.
TEST(PrescreenReal, AnOffsetDropBetweenTwoSimilarNeighboursIsFound) {
    Drop d = readdrop("AX10Br_089");
    const Drop before = readdrop("AX10Br_088"), after = readdrop("AX10Br_090");
    const DropProfile bp = before.reference(), ap = after.reference();
    for (std::size_t i = 0; i < d.cut; ++i) d.t[i] += 1.5f;
    const auto f = prescreen(d.view(), Neighbours{&bp, nullptr, &ap}, Thresholds{});
    bool offset = false;
    for (const auto& x : f) offset = offset || (x.code == "TO" && std::fabs(x.depth - 700.0f) <= 5.0f);
    EXPECT_TRUE(offset) << describe(f);
    // The same drop with the reference behind it and the drop after taken
    // as the reference: the water changing between drops is no fault.
    const auto g = prescreen(after.view(), Neighbours{&bp, nullptr, nullptr}, Thresholds{});
    for (const auto& x : g) EXPECT_NE(std::string(x.code.view()), "TD") << describe(g);
}
