// The QC dialog driven as an operator drives it: clicks on its buttons, rows
// of the depth list and clicks in the plot, fed to its loop one by one.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/fields.h"
#include "plot/depth_list.h"
#include "qc/checks.h"
#include "qc/qc_dialog.h"
#include "qc/qccode.h"
#include "toolkit/dialogs.h"
#include "toolkit/session.h"

namespace {

// One operator action. It either is an event (returns true with it filled
// in) or acts on a dialog, whose reports then come through WMessage.
using Step = std::function<bool(int&, EventRecord&)>;

Step click(int field, int dialog = qcdialog) {
    return [=](int&, EventRecord&) {
        std::string error;
        EXPECT_TRUE(toolkit::dialogClick(dialog, field, error)) << error;
        return false;
    };
}
Step row(int r) {
    return [=](int&, EventRecord&) {
        std::string error;
        EXPECT_TRUE(toolkit::dialogSelect(depthlistdialog, depthlistfield, r, error)) << error;
        return false;
    };
}
Step event(int type, float unitY = 0, int data1 = 0) {
    return [=](int& t, EventRecord& e) {
        t = type;
        e = {};
        e.unitY = unitY;
        e.data1 = data1;
        return true;
    };
}
Step probe(std::function<void()> look) {
    return [=](int&, EventRecord&) {
        look();
        return false;
    };
}
Step mouseat(float metres) {
    return event(EventType::MouseButDown, -metres);
}
constexpr int SPR = 1089, PIA = 1074, SAA = 1076, WBR = 1090, LEA = 1073, LER = 1081, CSA = 1046, PLA = 1071,
              EFA = 1066;

// The steps in order, then "Exit QC" once they are all done.
MessageWait operatorsteps(std::vector<Step> steps) {
    auto queue = std::make_shared<std::deque<Step>>(steps.begin(), steps.end());
    return [queue](int& type, EventRecord& e) {
        for (;;) {
            WMessage(type, e);
            if (type != EventType::CloseRequest) return;  // headless: nothing pending
            if (queue->empty()) break;
            Step s = queue->front();
            queue->pop_front();
            if (s(type, e)) return;
        }
        e = {};
        type = EventType::PushButton;
        e.source = qcdialog;
        e.data1 = QcField::exitqc;
    };
}

class QcDialogTest : public testing::Test {
protected:
    void SetUp() override {
        toolkit::setHeadless(true);
        toolkit::resetSession();
        WDialogLoad(depthlistdialog);
        WDialogLoad(qcdialog);
        WDialogSelect(depthlistdialog);
        WDialogHide();
        WMessageEnable(EventType::FieldChanged, 1);
        WMessageEnable(EventType::MouseMove, 0);
        WMessageEnable(EventType::MouseButUp, 0);
        profile(40, 30);
    }

    // n points 0.65 m apart, cooling with depth, cut after point `cutat`.
    void profile(int n, int cutat) {
        store = std::make_unique<ProfileStore>();
        SlotData& s = (*store)[2];
        for (int i = 1; i <= n; ++i) {
            s.depth[i] = -0.65f * static_cast<float>(i);
            s.t[i] = 28.0f - 0.1f * static_cast<float>(i);
        }
        s.npts = cutat;
        (*store)[4] = s;
        (*store)[4].npts = n;
        cut = CutState{};
        cut.npts4 = n;
        cut.npbr = cutat;
        cut.xdbr = -s.depth[cutat];
        cut.mess0 = composemess0(cut.xdbr);
    }
    SlotData& cur() { return (*store)[2]; }
    float metres(int i) { return -cur().depth[i]; }

    // Runs the command as the main loop does: reset, show, the loop.
    void run(std::vector<Step> steps) {
        qcinit();
        WDialogSelect(qcdialog);
        WDialogShow();
        const PlotColours colours = buildColourTable();
        EditContext ctx{*store, cut, colours, 1, [this] { ++redraws; }, operatorsteps(std::move(steps))};
        qc(ctx, state);
    }

    std::vector<std::string> titles() {
        std::vector<std::string> out;
        for (const auto& b : toolkit::takeBoxes()) out.push_back(b.title.empty() ? b.message : b.title);
        return out;
    }
    toolkit::FieldValue& field(int dialog, int id) {
        toolkit::LoadedDialog* d = toolkit::findDialog(dialog);
        return d->value(d->tpl.indexOf(id));
    }
    bool applyenabled() { return field(qcdialog, QcField::apply).state == toolkit::FieldState::Enabled; }

    std::unique_ptr<ProfileStore> store;
    CutState cut;
    QcDialogState state;
    int redraws = 0;
};

std::string trimmed(const std::string& s) {
    return std::string(trimRight(s));
}

bool sameprofile(const SlotData& a, const SlotData& b) {
    return a.npts == b.npts && a.t == b.t && a.iclass == b.iclass && a.code == b.code;
}

TEST_F(QcDialogTest, ExitAfterChoosingACodeChangesNothingAndOnlyRedrawsRun) {
    const SlotData before = cur();
    const CutState cutbefore = cut;
    run({event(EventType::Expose), event(EventType::MenuSelect, 0, 40009), click(SPR), mouseat(10),
         event(EventType::KeyDown, 0, 13), event(EventType::Resize)});
    EXPECT_TRUE(sameprofile(cur(), before));
    EXPECT_EQ(cut.xdbr, cutbefore.xdbr);
    EXPECT_EQ(redraws, 2);
    EXPECT_FALSE(toolkit::findDialog(qcdialog)->shown);
    EXPECT_EQ(state.codey, "SP") << "what was chosen stays in the state after Exit QC";
}

TEST_F(QcDialogTest, SurfaceCodeLandsAtPointOneWhateverPointWasChosen) {
    run({click(PIA), mouseat(metres(12)), click(SAA), click(QcField::apply)});
    EXPECT_EQ(cur().code[1], "SA");
    EXPECT_EQ(cur().iclass[1], 2);
    EXPECT_EQ(cur().code[12], "  ");
    // The class pass then makes every point at least "probably good".
    checkclass(*store);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(cur().iclass[i], 2) << i;

    // A profile with no point takes no code and reaches no array.
    profile(0, 0);
    run({click(SAA), click(QcField::apply), click(PIA), mouseat(3), click(QcField::apply)});
    EXPECT_EQ(cur().code[1], "  ");
}

TEST_F(QcDialogTest, WireBreakArmsAtTheBreakAndItsListOpensOnThatRow) {
    bool shown = false;
    int selected = 0;
    std::size_t rows = 0;
    run({click(SPR), click(QcField::choosedepth), mouseat(5), click(WBR), probe([&] {
             shown = toolkit::findDialog(depthlistdialog)->shown;
             selected = field(depthlistdialog, depthlistfield).selected;
             rows = field(depthlistdialog, depthlistfield).items.size();
         }),
         click(QcField::apply)});
    EXPECT_EQ(titles(), (std::vector<std::string>{"Error Info", "Error Info"}));
    EXPECT_EQ(state.ind1, cut.npbr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(selected, cut.npbr);
    EXPECT_EQ(rows, 40u) << "the whole loaded drop";
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(cur().code[i], "  ") << "nothing applied without a start depth";
}

TEST_F(QcDialogTest, ClickInChooseDepthModeAndApplyWithoutDepthSayWhy) {
    run({click(SPR), click(QcField::choosedepth), mouseat(5), click(QcField::apply)});
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].message, "In Choose Depth entry mode");
    EXPECT_EQ(boxes[1].message, "I need a start depth for this code");
}

TEST_F(QcDialogTest, ClassFourCodeMovesTheCutToItsPointDrawingOverThePicture) {
    toolkit::setTrace(true);
    run({click(SPR), click(QcField::choosedepth), row(12), click(QcField::apply)});
    EXPECT_EQ(cur().code[12], "SP");
    EXPECT_EQ(cur().iclass[12], 4);
    EXPECT_EQ(cut.xdbr, metres(12));
    EXPECT_EQ(cut.mess0, composemess0(metres(12)));
    EXPECT_EQ(cur().npts, 30) << "a cut above the old one keeps the displayed length";

    // Slot 4 in green, then slot 2 over it, and no clearing in between.
    std::vector<std::string> ops;
    int firstcolour = -1;
    for (const auto& c : toolkit::takeTrace()) {
        ops.push_back(c.op);
        if (c.op == "IGrColourN" && firstcolour < 0) firstcolour = static_cast<int>(c.args[0]);
    }
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "WindowClear"), 0);
    EXPECT_EQ(firstcolour, WRGB(0, 255, 0));
    EXPECT_NE(std::find(ops.begin(), ops.end(), "WindowOutString"), ops.end());
}

TEST_F(QcDialogTest, CodeBelowTheCutRestoresTheFullLengthAndMovesTheCut) {
    run({click(PIA), mouseat(metres(35) + 0.1f), click(QcField::apply)});
    EXPECT_EQ(cur().code[35], "PI");
    EXPECT_EQ(cur().iclass[35], 2);
    EXPECT_EQ(cur().npts, 40);
    EXPECT_EQ(cut.xdbr, metres(35));
    EXPECT_EQ(cut.mess0.cols(24, 31), writeF(metres(35), 8, 3));
}

TEST_F(QcDialogTest, LeakageAcceptThenRejectRearmsForADepth) {
    run({click(LEA), click(LER), mouseat(metres(20)), click(QcField::apply)});
    EXPECT_EQ(cur().code[1], "  ");
    EXPECT_EQ(cur().code[20], "LE");
    EXPECT_EQ(cur().iclass[20], 3);
}

TEST_F(QcDialogTest, SecondSurfaceCodeIsRefusedAndApplyStaysDisabled) {
    const std::string alert = surfacealerttext();
    EXPECT_EQ(alert.size(), 54u + 47 + 47 + 48 + 3);
    struct Case {
        std::vector<Step> steps;
        std::vector<std::string> boxes;
    };
    const std::vector<Case> cases{
        {{click(SPR), click(SAA)}, {" Alert !"}},
        {{click(SPR), click(PLA)}, {trimmed(plinfotitle()), " Alert !"}},
        {{click(EFA)}, {" Alert !"}},  // the first code chosen is checked too
    };
    for (const auto& c : cases) {
        profile(40, 30);
        cur().code[1] = QcCode("CS");
        cur().iclass[1] = 5;
        const SlotData before = cur();
        auto steps = c.steps;
        bool enabledafter = true;
        steps.push_back(probe([&] { enabledafter = applyenabled(); }));
        steps.push_back(click(QcField::apply));
        run(steps);
        EXPECT_EQ(titles(), c.boxes);
        EXPECT_FALSE(enabledafter);
        EXPECT_TRUE(sameprofile(cur(), before));
    }
    // Another code, not a surface one, enables "Apply" again.
    run({click(SPR), click(SAA), click(PIA), mouseat(4), click(QcField::apply)});
    EXPECT_EQ(cur().code[6], "PI");
}

TEST_F(QcDialogTest, SurfaceEditsFromTheDepthList) {
    struct Case {
        int button, start;
        std::vector<float> t, expected;
        int npts2;
        std::string codes;
    };
    const float a = 20, b = 19, c = 18, d = 17, e = 16, f = 15;
    const std::vector<Case> cases{
        {CSA,
         4,
         {28.1f, 27.5f, 26.0f, 25.2f, 25.0f, f},
         {25.2f, 25.2f, 25.2f, 25.2f, 25.0f, f},
         6,
         "CSCSCS      "},
        {PLA, 3, {a, b, c, d, e, f}, {c, d, e, f, e, f}, 4, "PLPL        "},
        {CSA, 1, {a, b, c, d, e, f}, {a, b, c, d, e, f}, 6, "            "},
        {PLA, 1, {a, b, c, d, e, f}, {a, b, c, d, e, f}, 6, "            "},
    };
    for (const auto& k : cases) {
        profile(6, 6);
        for (int i = 1; i <= 6; ++i) cur().t[i] = k.t[i - 1];
        (*store)[4] = cur();
        // The list opens on row 1, so that row is chosen by leaving it first.
        run({click(k.button), row(k.start == 1 ? 2 : k.start), row(k.start), click(QcField::apply)});
        std::vector<float> t;
        std::string codes;
        for (int i = 1; i <= 6; ++i) {
            t.push_back(cur().t[i]);
            codes += cur().code[i].view();
        }
        EXPECT_EQ(t, k.expected) << k.button << " at " << k.start;
        EXPECT_EQ(cur().npts, k.npts2);
        EXPECT_EQ(codes, k.codes);
        EXPECT_EQ(titles()[0], trimmed(k.button == CSA ? csinfotitle() : plinfotitle()));
        if (k.button == PLA) {
            EXPECT_FALSE(applyenabled()) << "PL leaves the dialog reset, at " << k.start;
            if (k.start == 3) {
                EXPECT_EQ(std::vector<int>({cur().iclass[3], cur().iclass[4]}), std::vector<int>({2, 2}));
            }
        }
    }
}

}  // namespace
