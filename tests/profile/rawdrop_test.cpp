// The raw drop file reader: counts, data lines, depths, header cleaning and
// the failure records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/rawdrop.h"
#include "test_util.h"

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

struct Records {
    std::vector<std::pair<std::string, std::string>> all;
    LogRecord sink() {
        return [this](std::string_view l, std::string_view v) {
            all.emplace_back(std::string(l), std::string(v));
        };
    }
};

const std::string kHeader =
    " Probe Code: 052\n"
    "Date        : 03/12/2026\n"
    " Probe Seria      1234567\n";

// count samples: sample i (1-based) holds 20000 + i thousandths.
std::string dataLines(int count) {
    std::string s;
    for (int i = 1; i <= count; ++i) {
        s += writeI(20000 + i, 5);
        if (i % 20 == 0 || i == count) s += '\n';
    }
    return s;
}

std::string rawFile(int announced, int present) {
    return kHeader + "XBT: " + writeI(announced, 4) + "\n" + dataLines(present);
}

RawDrop parse(const std::string& bytes, Records& rec) {
    return parserawdrop(bytes, fallrateA, fallrateB, rec.sink());
}

TEST(RawDrop, FortySamplesOnTwoFullLines) {
    Records rec;
    const RawDrop r = parse(rawFile(40, 40), rec);
    EXPECT_EQ(r.n, 40);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_FLOAT_EQ(r.t[0], 20.001f);
    EXPECT_FLOAT_EQ(r.t[39], 20.040f);
    EXPECT_EQ(nint(-1000.0 * r.depth[0]), 647);
    EXPECT_EQ(nint(-1000.0 * r.depth[9]), 6470);
    // Depth grows downward: stored ever more negative.
    for (int i = 1; i < 40; ++i) EXPECT_LT(r.depth[i], r.depth[i - 1]);
    EXPECT_TRUE(rec.all.empty());
}

TEST(RawDrop, DepthsComeFromTheFloatCoefficientsWorkedInDouble) {
    Records rec;
    const RawDrop r = parse(rawFile(2000, 2000), rec);
    ASSERT_EQ(r.n, 2000);
    for (int i : {1, 10, 777, 2000}) {
        const double tau = static_cast<double>(0.1f) * i;
        const double z = static_cast<double>(fallrateA) * tau - static_cast<double>(fallrateB) * (tau * tau);
        EXPECT_EQ(r.depth[i - 1], static_cast<float>(-z)) << "sample " << i;
    }
    EXPECT_EQ(fallrateB, 0.0021600001491606236f);
}

TEST(RawDrop, PartialLastLineTakesOnlyItsLeadingSamples) {
    Records rec;
    std::string bytes = rawFile(45, 40) + "20041200422004320044200451234512345\n";
    const RawDrop r = parse(bytes, rec);
    EXPECT_EQ(r.n, 45);
    EXPECT_FLOAT_EQ(r.t[44], 20.045f);
    EXPECT_THAT(rec.all, ElementsAre(Pair("try reading last line: nremain=", "5")));
}

TEST(RawDrop, MissingPartialLineKeepsTheFullLines) {
    Records rec;
    const RawDrop r = parse(rawFile(45, 40), rec);
    EXPECT_EQ(r.n, 40);
    EXPECT_THAT(rec.all,
                ElementsAre(Pair("try reading last line: nremain=", "5"), Pair("errored out at 222", "")));
}

TEST(RawDrop, CountAboveTheLimitIsCutTo2000) {
    Records rec;
    const RawDrop r = parse(rawFile(2500, 2500), rec);
    EXPECT_EQ(r.n, 2000);
    EXPECT_FLOAT_EQ(r.t[1999], 22.000f);
    EXPECT_THAT(rec.all, ElementsAre(Pair("numtems > ndepmax, reset numtems", "")));
}

TEST(RawDrop, TemperatureIsTheFloatThousandthTimesTheSampleRoundedOnce) {
    Records rec;
    const RawDrop r = parse(kHeader + "XBT:    2\n   10-1250\n", rec);
    ASSERT_EQ(r.n, 2);
    EXPECT_EQ(r.t[0], 0.0100000007f) << "not the float nearest to 0.01";
    EXPECT_EQ(r.t[1], -1.25f);
}

TEST(RawDrop, ShortDataLinesAndBlankFieldsReadAsZero) {
    Records rec;
    std::string bytes = kHeader + "XBT:   40\r\n" + dataLines(20) + "12345  7 8\r\n";
    const RawDrop r = parse(bytes, rec);
    ASSERT_EQ(r.n, 40);
    EXPECT_FLOAT_EQ(r.t[20], 12.345f);
    EXPECT_FLOAT_EQ(r.t[21], 0.078f) << "blanks inside a field are ignored";
    EXPECT_EQ(r.t[22], 0.0f);
    EXPECT_EQ(r.t[39], 0.0f);
}

TEST(RawDrop, TruncatedOrDamagedDataGivesTheSamplesReadSoFar) {
    Records rec;
    RawDrop r = parse(rawFile(60, 40), rec);
    EXPECT_EQ(r.n, 40);
    EXPECT_THAT(rec.all, ElementsAre(Pair("end of raw file, data", "")));

    rec.all.clear();
    r = parse(rawFile(40, 20) + "2002120022x002320024\n", rec);
    EXPECT_EQ(r.n, 22);
    EXPECT_THAT(rec.all, ElementsAre(Pair("error reading raw file", "")));
}

TEST(RawDrop, UnusableCountGivesAnEmptyProfile) {
    Records rec;
    EXPECT_EQ(parse(kHeader + " XBT:   40\n" + dataLines(40), rec).n, 0)
        << "count one column right is not read";
    EXPECT_TRUE(rec.all.empty());
    EXPECT_EQ(parse(kHeader + "XBT:  -40\n" + dataLines(40), rec).n, 0);
    EXPECT_EQ(parse(kHeader + "XBT:  4x0\n" + dataLines(40), rec).n, 0);
    EXPECT_THAT(rec.all, ElementsAre(Pair("error reading raw file", ""), Pair("error reading raw file", "")));

    rec.all.clear();
    EXPECT_EQ(parse(kHeader, rec).n, 0);
    EXPECT_THAT(rec.all, ElementsAre(Pair("end of raw file", "")));

    // The count must be within the first 999 header lines.
    std::string longHeader;
    for (int i = 0; i < 999; ++i) longHeader += "Comment\n";
    EXPECT_EQ(parse(longHeader + "XBT:   40\n" + dataLines(40), rec).n, 0);
    longHeader.erase(0, 8);
    EXPECT_EQ(parse(longHeader + "XBT:   40\n" + dataLines(40), rec).n, 40);
}

RawHeader headerOf(const std::string& lines) {
    Records rec;
    return parse(lines + "XBT:    0\n", rec).hdr;
}

TEST(RawDrop, ProbeCodeRule) {
    EXPECT_EQ(headerOf(" Probe Code: 052\n").probecode, "051");
    EXPECT_EQ(headerOf(" Probe Code:  52\n").probecode, "051");
    EXPECT_EQ(headerOf(" Probe Code: 5 2\n").probecode, "502");
    EXPECT_EQ(headerOf(" Probe Code: 212\n").probecode, "212");
    EXPECT_EQ(headerOf("Probe Code:  052\n").probecode, "   ") << "keyword in column 1 is not recognised";
}

TEST(RawDrop, CharacterAndDateRules) {
    const RawHeader h = headerOf(
        " Probe Manuf             03/15/2024\n"
        " Probe Seria      12#4.67\n"
        "SEAS ID   AB/cd~9-Z\n"
        " Recorder Co    6 \n"
        "Call        V#RB2_x\n");
    EXPECT_EQ(h.manufdate, "03-15-2024");
    EXPECT_EQ(h.serial, "12 4 67");
    EXPECT_EQ(h.seasid, "AB cd 9-") << "codes above 122 and below 48 become blanks, '-' stays";
    EXPECT_EQ(h.recorder, "60");
    EXPECT_EQ(h.callsign, "V RB2_x");
    EXPECT_EQ(headerOf(" Probe Manuf              3/15/2024\n").manufdate, " 3-15-2024");
    EXPECT_EQ(headerOf(" Probe Manuf             3/15/2024\n").manufdate, "3 15 2024")
        << "the slash is blanked first, so no dashes are set";
}

TEST(RawDrop, CallSignIsTakenFromTheSameColumnsWhereverTheKeywordStarts) {
    EXPECT_EQ(headerOf("Call        WTEC123\n").callsign, "WTEC123");
    EXPECT_EQ(headerOf(" Call       WTEC123\n").callsign, "WTEC123");
    // The keyword order decides: a line that starts with "Date" is skipped.
    EXPECT_EQ(headerOf("DateCall    WTEC123\n").callsign, "       ");
}

TEST(RawDrop, FileReaderLabelsAndFailures) {
    ScratchDir dir;
    Records rec;
    writeText(dir.prefix() + "r_007.KTD", rawFile(40, 40) + "SEAS ID   X\n");
    RawDrop r = rddropfix(dir.name("r_007.KTD"), dir.prefixLength(), fallrateA, fallrateB, rec.sink());
    EXPECT_EQ(r.n, 40);
    EXPECT_EQ(r.label, "r_007");
    EXPECT_EQ(r.hdr.seasid, "        ") << "lines after the data are not read";

    r = rddropfix(dir.name("r_008.KTD"), dir.prefixLength(), fallrateA, fallrateB, rec.sink());
    EXPECT_EQ(r.ierr, 65535);
    EXPECT_EQ(r.n, 0);
    EXPECT_EQ(r.label, "no008");
    // A directory in place of the file is just as unreadable.
    std::filesystem::create_directory(dir.prefix() + "r_009.KTD");
    EXPECT_EQ(rddropfix(dir.name("r_009.KTD"), dir.prefixLength(), fallrateA, fallrateB, rec.sink()).label,
              "no009");
}

}  // namespace
