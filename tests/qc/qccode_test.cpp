// The code catalogue, the surface-code rule and the CS and PL boxes.
#include <set>

#include "qc/qccode.h"
#include "tests/qc/qc_fixture.h"

using QcCodeTest = QcTest;

namespace {
std::string pad(std::string s, std::size_t w) {
    s.resize(std::max(s.size(), w), ' ');
    return s;
}
}  // namespace

TEST_F(QcCodeTest, CatalogueIsConsistentWithItsLabels) {
    std::set<int> ids;
    for (int i = 0; i < nqccodes; ++i) {
        const auto& e = qccatalogue[static_cast<std::size_t>(i)];
        EXPECT_EQ(e.index, i + 1);
        ids.insert(e.id);
        // The label starts with the stored letters and the accept/reject
        // letter that only the label carries.
        EXPECT_EQ(e.text.substr(0, 2), e.code) << e.text;
        const bool accept = e.iclass == 1 || e.iclass == 2 || e.iclass == 5;
        EXPECT_EQ(e.text[2], accept ? 'A' : 'R') << e.text;
    }
    EXPECT_EQ(ids.size(), 23u);
    const auto hbr = *qcentry(15);
    EXPECT_EQ(hbr.id, 1087);
    EXPECT_EQ(hbr.text, "HBR=Hit Bottom Reject");
    EXPECT_EQ(qccatalogue[22].id, 1005);
    EXPECT_EQ(qccatalogue[22].isurface, 0);
}

TEST_F(QcCodeTest, MapsAButtonAndIgnoresNoSelection) {
    int isurface = 7, iqc = 7;
    QcCode codey("XX");
    EXPECT_FALSE(qccode(0, isurface, iqc, codey));
    EXPECT_FALSE(qccode(24, isurface, iqc, codey));
    EXPECT_EQ(isurface, 7);
    EXPECT_EQ(iqc, 7);
    EXPECT_TRUE(codey == "XX");

    EXPECT_TRUE(qccode(7, isurface, iqc, codey));
    EXPECT_TRUE(codey == "HB");
    EXPECT_EQ(iqc, 2);
    EXPECT_EQ(isurface, 1);
    EXPECT_TRUE(qccode(23, isurface, iqc, codey));
    EXPECT_TRUE(codey == "TP");
    EXPECT_EQ(iqc, 4);
    EXPECT_EQ(isurface, 0);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(QcCodeTest, CsAndPlExplainThemselvesEveryTime) {
    int isurface = 0, iqc = 0;
    QcCode codey;
    qccode(5, isurface, iqc, codey);
    EXPECT_TRUE(codey == "CS");
    EXPECT_EQ(iqc, 2);
    qccode(10, isurface, iqc, codey);
    EXPECT_TRUE(codey == "PL");
    EXPECT_EQ(iqc, 5);
    qccode(10, isurface, iqc, codey);

    const std::string cs = " CSA definition=\"remove all surface data to 3.9m depth\r" +
                           pad("  ZUL modifications for ZUL use:", 47) + "\r" +
                           pad("   Choose first \"good\" (depth,tem) pair", 47) + "\r" +
                           "   Program will fill tems to surface with first \"good\" tem\r" +
                           "   Are you sure it is not: real or SAA or PLA ?";
    const std::string pl =
        " Use this only if you are SURE of false splash!\r Only one PL per profile. \r"
        " The temperature you select will move to surface depth.\r"
        " Additional QC codes must be done after PL.";
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, " Surface Spike/Start-up transient info");
    EXPECT_EQ(boxes[0].message, cs);
    EXPECT_EQ(boxes[1].title, " Premature Launch/false splash information");
    EXPECT_EQ(boxes[1].message, pl);
    EXPECT_EQ(boxes[2].message, pl);
    for (const auto& b : boxes) {
        EXPECT_EQ(b.buttons, 0);
        EXPECT_EQ(b.icon, 3);
        EXPECT_EQ(b.defaultButton, 1);
    }
    EXPECT_EQ(csinfotext().size(), 258u);
    EXPECT_EQ(plinfotext().size(), 174u);
    EXPECT_EQ(plinfotitle().size(), 43u);
}

TEST_F(QcCodeTest, SurfaceCodeRule) {
    for (const char* c : {"EF", "ST", "CS", "FS", "NG", "PL", "PS", "SA", "TP"}) {
        EXPECT_TRUE(issurfacecode(QcCode(c), 4)) << c;
    }
    EXPECT_TRUE(issurfacecode(QcCode("LE"), 2));
    EXPECT_FALSE(issurfacecode(QcCode("LE"), 3));
    for (const char* c : {"IV", "HB", "WB", "SP", "  "}) EXPECT_FALSE(issurfacecode(QcCode(c), 2)) << c;
}
