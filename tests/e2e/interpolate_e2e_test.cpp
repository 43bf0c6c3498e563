// The Interpolate command driven by operator scripts: each repair is
// compared with a reference run that writes the same drop unrepaired, so
// that every byte of the q and e files outside the repair must match and
// the repaired records are checked column by column.
#include <cstdio>
#include <sstream>

#include "session.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

// Where the fields of a record lie: the 6-column temperature and the class.
struct Layout {
    std::size_t tempcol, classcol;  // 1-based
};
constexpr Layout qrecord{8, 15}, erecord{4, 11};

// A reference record repaired: the new temperature, class 5 and the code,
// and the temperature as loaded (the reference's) in the 5 columns after.
std::string interpolated(const std::string& ref, Layout at, int temp, const std::string& code) {
    char t[8];
    std::snprintf(t, sizeof t, "%6d", temp);
    return ref.substr(0, at.tempcol - 1) + t + " 5 " + code + " " + ref.substr(at.tempcol, 5);
}

class InterpolateSession : public Session {
protected:
    // The files of the same script without the repair, on a second copy.
    void reference(const std::vector<std::string>& lines) {
        refdir = root / "reference";
        copyDemo(refdir);
        ASSERT_EQ(run(lines, refdir), 0) << err;
    }
    std::vector<std::string> refLines(const std::string& name) const { return linesOf(read(refdir / name)); }
    std::vector<std::string> lines(const std::string& name) const { return linesOf(read(cruise / name)); }

    // The reference file with records first.. repaired (their new
    // temperatures in order) and every later record floored to iclass.
    std::vector<std::string> expected(const std::string& name, Layout at, std::size_t first,
                                      const std::vector<int>& temps, const std::string& code,
                                      char iclass) const {
        std::vector<std::string> l = refLines(name);
        for (std::size_t k = 0; k < temps.size(); ++k)
            l[first - 1 + k] = interpolated(l[first - 1 + k], at, temps[k], code);
        for (std::size_t i = first - 1 + temps.size(); i < l.size(); ++i) {
            char& c = l[i][at.classcol - 1];
            if (c < iclass) c = iclass;
        }
        return l;
    }
    std::string shot(const std::string& n) const { return "screenshot " + (root / n).string(); }
    bool isPng(const std::string& n) const { return read(root / n).substr(1, 3) == "PNG"; }

    fs::path refdir;
};

const std::vector<std::string> toDropFour{"menu 40010", "type 104 1018 4", "click 104 1"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(InterpolateSession, SpikeOfDropFourRepairedByMouseDragThenWritten) {
    reference(toDropFour + std::vector<std::string>{"key W", "menu 40007"});
    // First point: a drag that passes above the surface keeps where it was.
    // The spike (310.06 and 310.69 m) shares its bin with the point picked
    // first, so the repair starts at 309.44 m, and ends at 312.57 m, the
    // first point of the bin below the last one picked.
    ASSERT_EQ(run(toDropFour +
                  std::vector<std::string>{"key I", "mouse down 8.4 300", "mouse move 8.4 305",
                                           "mouse move 8.4 309.4", shot("drag.png"), "mouse move 8.4 -20",
                                           "mouse up 8.4 -20", "mouse down 8.3 311.3", "mouse up 8.3 311.3",
                                           "click 103 1", shot("repaired.png"), "key W", "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(lines("DEMO01q.004"),
              expected("DEMO01q.004", qrecord, 489, {8342, 8334, 8327, 8319}, "SP", '2'));
    EXPECT_EQ(lines("DEMO01e.004"), expected("DEMO01e.004", erecord, 158, {8330}, "SP", '2'));
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{4, 1}}));
    EXPECT_EQ(read(cruise / "stations.dat"), read(refdir / "stations.dat"));
    EXPECT_TRUE(isPng("drag.png") && isPng("repaired.png"));
    EXPECT_NE(read(root / "drag.png"), read(root / "repaired.png"));
}

TEST_F(InterpolateSession, RepairFromTheDepthListWithClassThreeBelowThenEnter) {
    reference({"key Enter", "menu 40007"});
    // Rows 100 (64.50 m) and 110 (70.93 m) widen to points 99 and 112.
    ASSERT_EQ(run({"key I", "click 103 1038", "select 105 1029 100", "select 105 1029 110", shot("list.png"),
                   "click 103 1012", "click 103 1063", "click 103 1", "key Enter", "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(lines("DEMO01q.001"),
              expected("DEMO01q.001", qrecord, 102,
                       {25298, 25237, 25175, 25113, 25051, 24990, 24928, 24866, 24805, 24743, 24681, 24620},
                       "HF", '3'));
    EXPECT_EQ(lines("DEMO01e.001"),
              expected("DEMO01e.001", erecord, 35, {25237, 25051, 24866, 24681}, "HF", '3'));
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
    EXPECT_TRUE(isPng("list.png"));
}

TEST_F(InterpolateSession, OkWithAPointMissingThenCancelChangeNothing) {
    reference({"key Enter", "menu 40007"});
    ASSERT_EQ(run({"key I", "mouse down 8.4 305", "mouse up 8.4 305", "click 103 1", "mouse down 8 320",
                   "mouse up 8 320", "click 103 2", "key Enter", "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(out,
              "box \"Error Info\" \"I need a first and last depth for interpolation\" -> ok (default)\n");
    EXPECT_EQ(read(cruise / "DEMO01q.001"), read(refdir / "DEMO01q.001"));
    EXPECT_EQ(read(cruise / "DEMO01e.001"), read(refdir / "DEMO01e.001"));
    EXPECT_EQ(read(cruise / "stations.dat"), read(refdir / "stations.dat"));
}

}  // namespace
