// QC codes attached through the dialog in scripted sessions: each session
// writes its drop, and the q file must be the plain write of that drop with
// exactly the edits the operator made, the e file its 2 m average.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "profile/edited_files.h"
#include "qc/qccode.h"
#include "session.h"

namespace {

// A q file as its header and records, each record a line without its end.
struct QFile {
    std::string header;
    std::vector<std::string> records;

    static QFile parse(const std::string& bytes) {
        QFile q;
        std::size_t at = 0;
        for (int line = 0; at < bytes.size(); ++line) {
            const std::size_t end = bytes.find('\n', at);
            const std::string l = bytes.substr(at, end - at);
            if (line < 2) {
                q.header += l + "\n";
            } else {
                q.records.push_back(l);
            }
            at = end == std::string::npos ? bytes.size() : end + 1;
        }
        return q;
    }
    std::string bytes() const {
        std::string out = header;
        for (const auto& r : records) out += r + "\n";
        return out;
    }
    // Record i (1-based), as the editor numbers its points.
    std::string& at(int i) { return records[static_cast<std::size_t>(i - 1)]; }
    int n() const { return static_cast<int>(records.size()); }
    double metres(int i) const {
        return std::atoi(records[static_cast<std::size_t>(i - 1)].substr(0, 7).c_str()) / 1000.0;
    }
    int cls(int i) const { return records[static_cast<std::size_t>(i - 1)][14] - '0'; }
    // The first point whose record satisfies `is`, 0 for none.
    template <class Pred>
    int first(Pred is) const {
        for (int i = 1; i <= n(); ++i)
            if (is(records[static_cast<std::size_t>(i - 1)])) return i;
        return 0;
    }
    int firstcode(const std::string& code) const {
        return first([&](const std::string& r) { return r.substr(16, 2) == code; });
    }
    // The last point above the wire break: the last of class 1 in a plain write.
    int npbr() const {
        int k = 0;
        while (k < n() && cls(k + 1) == 1) ++k;
        return k;
    }
    void setclass(int i, int c) { at(i)[14] = static_cast<char>('0' + c); }
    void setcode(int i, const std::string& code) { at(i).replace(16, 2, code); }
    std::string temperature(int i) const { return records[static_cast<std::size_t>(i - 1)].substr(7, 6); }
};

class QcSession : public Session {
protected:
    // The drops as a plain write stores them, from one session run once.
    static const std::map<int, std::string>& plain() {
        static const std::map<int, std::string> files = [] {
            std::map<int, std::string> f;
            const fs::path dir =
                fs::temp_directory_path() / ("dropfix-qc-plain-" + std::to_string(::getpid()));
            fs::remove_all(dir);
            copyDemo(dir);
            const std::string script = (dir / "s.txt").string();
            std::ofstream(script) << "key W\nmenu 40010\ntype 104 1018 7\nclick 104 1\nkey W\n"
                                     "menu 40010\ntype 104 1018 4\nclick 104 1\nkey W\n"
                                     "menu 40010\ntype 104 1018 11\nclick 104 1\nkey W\nmenu 40007\n";
            const std::string cmd = "QT_QPA_PLATFORM=offscreen '" + std::string(DROPFIX_BINARY) +
                                    "' --script '" + script + "' '" + dir.string() + "' >/dev/null 2>&1";
            EXPECT_EQ(std::system(cmd.c_str()), 0);
            for (int d : {1, 4, 7, 11}) {
                char name[16];
                std::snprintf(name, sizeof name, "DEMO01q.%03d", d);
                f[d] = read(dir / name);
            }
            fs::remove_all(dir);
            return f;
        }();
        return files;
    }
    static QFile plainq(int drop) { return QFile::parse(plain().at(drop)); }
    QFile written(int drop) const { return QFile::parse(read(cruise / qname(drop))); }

    // A click in the plot lands on a pixel: at 1600 x 1000 about a metre.
    static constexpr double pixel = 1.5;

    static std::string qname(int drop) {
        char name[16];
        std::snprintf(name, sizeof name, "DEMO01q.%03d", drop);
        return name;
    }

    // The written q file must be `expected`, and its e file the 2 m average
    // of it beside the temperatures as loaded (those of the plain write).
    void expectfiles(int drop, const QFile& expected) {
        const std::string q = read(cruise / qname(drop));
        EXPECT_EQ(q, expected.bytes());
        const auto store = std::make_unique<ProfileStore>();  // too large for the stack
        SlotData& cur = (*store)[2];
        SlotData& loaded = (*store)[4];
        const SlotLabel label;
        const EditedRead r = parserdq(expected.bytes(), cur, label);
        parserdq(plain().at(drop), loaded, label);
        std::string ename = qname(drop);
        ename[6] = 'e';
        EXPECT_EQ(read(cruise / ename), efilebytes(cur, loaded, cur.nread, r.ahdr));
    }

    // A code applied at point k with class cls down to point last, then
    // written: the files, no box, and the drop accepted in the list.
    void expectcoded(int drop, QFile q, int k, const std::string& code, int cls, int last) {
        for (int i = k; i <= last; ++i) q.setclass(i, cls);
        q.setcode(k, code);
        expectfiles(drop, q);
        EXPECT_EQ(out, "");
        EXPECT_EQ(read(cruise / "stations.dat"), listWith({{drop, 1}}));
    }

    static std::vector<std::string> onqc(std::vector<std::string> lines) {
        lines.insert(lines.begin(), "key Q");
        lines.push_back("click 106 2");
        return lines;
    }
};

constexpr const char* infobox = "box \"Information!\" ";

// A message box as the transcript shows it, answered by its default.
std::string transcriptbox(const std::string& title, const std::string& text) {
    std::string shown;
    for (char c : trimRight(text)) shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    return "box \"" + std::string(trimRight(title)) + "\" \"" + shown + "\" -> ok (default)\n";
}

TEST_F(QcSession, SpikeRejectByMouseMovesTheCutAndLandsInTheFiles) {
    QFile q = plainq(1);
    auto lines = onqc({"click 106 1089", "mouse down 20 300", "click 106 1"});
    lines.insert(lines.end(), {"key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    const int k = written(1).firstcode("SP");
    EXPECT_NEAR(q.metres(k), 300.0, pixel);
    expectcoded(1, q, k, "SP", 4, q.n());
}

TEST_F(QcSession, InversionProbableByTheDepthListThenEnter) {
    QFile q = plainq(1);
    auto lines = onqc({"click 106 1074", "click 106 1034", "select 105 1029 100", "click 106 1"});
    lines.insert(lines.end(), {"key Enter", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    for (int i = 100, n = q.npbr(); i <= n; ++i) q.setclass(i, 2);
    q.setcode(100, "PI");
    expectfiles(1, q);
    EXPECT_EQ(out, "");
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
}

TEST_F(QcSession, SurfaceAnomalyAtTheSurfaceRaisesTheWholeProfile) {
    QFile q = plainq(1);
    auto lines = onqc({"click 106 1076", "mouse down 20 400", "click 106 1"});
    lines.insert(lines.end(), {"key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    for (int i = 1, n = q.npbr(); i <= n; ++i) q.setclass(i, 2);
    q.setcode(1, "SA");
    expectfiles(1, q);
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
}

// A plain write after PL at point s: temperatures move up by s-1 points
// over the displayed profile; codes and classes stay where they are.
QFile afterpl(const QFile& plain, int s) {
    QFile q = plain;
    const int npbr = plain.npbr();
    for (int j = 1; j <= npbr - s + 1; ++j) q.at(j).replace(7, 6, plain.temperature(s + j - 1));
    for (int j = 1; j < s; ++j) {
        q.setclass(j, 5);
        q.setcode(j, "PL");
        q.at(j) += " " + plain.temperature(j).substr(1);
    }
    for (int j = s; j <= npbr; ++j) q.setclass(j, 2);
    return q;
}

const std::vector<std::string> todropseven{"menu 40010", "type 104 1018 7", "click 104 1"};

TEST_F(QcSession, PrematureLaunchOnDropSevenByTheDepthList) {
    const int s = 29;  // the first point in the water
    std::vector<std::string> lines = todropseven;
    for (const auto& l : onqc({"click 106 1071", "select 105 1029 29", "click 106 1"})) lines.push_back(l);
    lines.insert(lines.end(), {"key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    expectfiles(7, afterpl(plainq(7), s));
    EXPECT_EQ(out, transcriptbox(plinfotitle(), plinfotext()));
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{7, 1}}));
}

// Zoomed to the top 15 m a click lands on the very point under the pointer:
// PIA at 18.751 m (point 29), then PL there from the depth list, which
// opens on that row, so the row is chosen by leaving it first.
TEST_F(QcSession, ZoomedPickLandsOnThePointUnderThePointer) {
    std::vector<std::string> lines = todropseven;
    for (int i = 0; i < 6; ++i) lines.push_back("mouse wheel 27 10 up ctrl");
    lines.insert(lines.end(),
                 {"key Down", "key Q", "click 106 1074", "mouse down 27 18.751", "click 106 1",
                  "click 106 1071", "select 105 1029 30", "select 105 1029 29", "click 106 1", "click 106 2",
                  "screenshot " + (root / "zoomed.png").string(), "key 0", "key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    QFile q = afterpl(plainq(7), 29);
    q.setcode(29, "PI");
    expectfiles(7, q);
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{7, 1}}));
    EXPECT_GT(read(root / "zoomed.png").size(), 1000u);
}

TEST_F(QcSession, RemoveSurfaceDataByMouse) {
    QFile q = plainq(1);
    auto lines = onqc({"click 106 1046", "mouse down 26 5", "click 106 1"});
    lines.insert(lines.end(), {"key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    const int k = written(1).first([](const std::string& r) { return r.substr(16, 2) != "CS"; });
    EXPECT_NEAR(q.metres(k), 5.0, pixel);
    const QFile plain1 = plainq(1);
    for (int j = 1; j < k; ++j) {
        q.at(j).replace(7, 6, plain1.temperature(k));
        q.setclass(j, 5);
        q.setcode(j, "CS");
        q.at(j) += " " + plain1.temperature(j).substr(1);
    }
    expectfiles(1, q);
    EXPECT_EQ(out, transcriptbox(csinfotitle(), csinfotext()));
}

TEST_F(QcSession, TwoHitBottomsKeepTheDeeperAndThreeWriteNothing) {
    QFile q = plainq(1);
    auto lines =
        onqc({"click 106 1086", "mouse down 20 100", "click 106 1", "mouse down 20 200", "click 106 1"});
    lines.insert(lines.end(), {"key W", "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    const int k1 = written(1).first([](const std::string& r) { return r[14] == '2'; });
    const int k2 = written(1).firstcode("HB");
    EXPECT_NEAR(q.metres(k1), 100.0, pixel);
    EXPECT_NEAR(q.metres(k2), 200.0, pixel);
    for (int i = k1, n = q.npbr(); i <= n; ++i) q.setclass(i, 2);
    q.setcode(k2, "HB");
    expectfiles(1, q);
    EXPECT_EQ(out,
              std::string(infobox) + "\"You have 2 HBAs marked, deleting first one.\" -> ok (default)\n");

    // Three: nothing is written, the drop comes back as loaded.
    fs::remove_all(cruise);
    copyDemo(cruise);
    lines = onqc({"click 106 1086", "mouse down 20 100", "click 106 1", "mouse down 20 200", "click 106 1",
                  "mouse down 20 300", "click 106 1"});
    lines.insert(lines.end(), {"key W", "screenshot " + (root / "three.png").string(), "menu 40007"});
    ASSERT_EQ(run(lines), 0) << err;
    EXPECT_EQ(out,
              std::string(infobox) + "\"You have too many HBs marked, redo your edits.\" -> ok (default)\n");
    EXPECT_FALSE(has(qname(1)));
    EXPECT_EQ(read(cruise / "stations.dat"), original);
}

// The pre-screen's suggestion on drop 4 taken with A: the QC dialog opens
// with SPR chosen and the spike's point picked, Apply and W store it there.
TEST_F(QcSession, SuggestedSpikeAppliedWithAThenWritten) {
    QFile q = plainq(4);
    ASSERT_EQ(run({"menu 40010", "type 104 1018 4", "click 104 1", "key A", "click 106 1", "click 106 2",
                   "key W", "menu 40007"}),
              0)
        << err;
    const int k = written(4).firstcode("SP");
    ASSERT_GT(k, 0);
    // The spike of the demo cruise lies at about 310 m.
    EXPECT_NEAR(q.metres(k), 310.0, 5.0);
    EXPECT_GT(std::stof(q.temperature(k)) - std::stof(q.temperature(k - 3)), 1.0f) << "the spike's own point";
    expectcoded(4, q, k, "SP", 4, q.n());
}

// Drop 11's hit bottom taken from the overview's list of findings by a
// double click: HBR at the finding's point, class 3 from there down.
TEST_F(QcSession, HitBottomFromTheOverviewsFindingsThenWritten) {
    QFile q = plainq(11);
    ASSERT_EQ(run({"key O", "menu 40010", "type 104 1018 11", "click 104 1", "finding 1", "click 106 1",
                   "click 106 2", "key W", "menu 40007"}),
              0)
        << err;
    const int k = written(11).firstcode("HB");
    ASSERT_GT(k, 0);
    EXPECT_NEAR(q.metres(k), 170.0, 5.0);
    expectcoded(11, q, k, "HB", 3, q.npbr());
}

}  // namespace
