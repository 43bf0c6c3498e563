// The Interpolate dialog loop with no window: the operator's input comes
// from a list of steps (pointer events, or clicks and list rows that the
// toolkit turns into the reports a person's input gives), and the tests
// look at the dialog's fields, the message boxes and the repaired profile.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qc/interpolate.h"
#include "tests/qc/qc_fixture.h"
#include "toolkit/dialogs.h"
#include "toolkit/internal.h"

namespace {

struct Step {
    int type = 0;
    EventRecord event;
    std::function<void()> act;  // set: the toolkit's input, reported through WMessage
};

class Interpolate : public QcTest {
protected:
    void SetUp() override {
        QcTest::SetUp();
        WInitialise(" ");
        WindowOpen(WindowRecord{39, -1, -1, 0, 0, 0, "interpolate"});
        WMessageEnable(EventType::FieldChanged, 1);
        for (int id : {105, 103}) WDialogLoad(id);
        store = std::make_unique<ProfileStore>();
        cut.npts4 = 0;
        cut.mess0 = composemess0(0.0f);
    }
    void TearDown() override { WindowClose(); }

    // Slot 2 and its copy as loaded: n points `step` metres apart,
    // temperature 30 - depth / 10, class 1; `shown` points displayed.
    void profile(float step, int n, int shown) {
        SlotData& s = (*store)[2];
        for (int i = 1; i <= n; ++i) {
            s.depth[std::size_t(i)] = -step * float(i);
            s.t[std::size_t(i)] = 30.0f + s.depth[std::size_t(i)] / 10.0f;
            s.iclass[std::size_t(i)] = 1;
        }
        s.npts = shown;
        (*store)[4] = s;
        (*store)[4].npts = n;
        cut.npts4 = n;
    }
    SlotData& cur2() { return (*store)[2]; }
    std::vector<int> classes2(int n) {
        return std::vector<int>(cur2().iclass.begin() + 1, cur2().iclass.begin() + 1 + n);
    }

    static Step pointer(int type, float metres, int px = 100, int py = 100) {
        Step s;
        s.type = type;
        s.event.data1 = type == EventType::MouseMove ? -1 : 1;
        s.event.x = px, s.event.y = py;
        s.event.unitY = -metres;
        return s;
    }
    // A drag from `from` through `via` to its release.
    static std::vector<Step> drag(float from, std::vector<float> via) {
        std::vector<Step> s{pointer(EventType::MouseButDown, from)};
        for (float m : via) s.push_back(pointer(EventType::MouseMove, m));
        s.push_back(pointer(EventType::MouseButUp, via.empty() ? from : via.back()));
        return s;
    }
    static Step click(int dialog, int field) {
        return {0, {}, [=] {
                    std::string error;
                    ASSERT_TRUE(toolkit::dialogClick(dialog, field, error)) << error;
                }};
    }
    static Step row(int r) {
        return {0, {}, [=] {
                    std::string error;
                    ASSERT_TRUE(toolkit::dialogSelect(105, 1029, r, error)) << error;
                }};
    }
    static Step event(int type, int data1 = 0) {
        Step s;
        s.type = type;
        s.event.data1 = data1;
        return s;
    }
    // The colour that the drawing since the last such step ended in.
    static Step lastColour(std::vector<int>& into) {
        return {0, {}, [&into] {
                    int colour = -1;
                    for (const auto& c : toolkit::takeTrace())
                        if (c.op == "IGrColourN") colour = int(c.args.at(0));
                    into.push_back(colour);
                }};
    }
    Step note(std::vector<std::string>& into) {
        return {0, {}, [&into, this] { into.push_back(fields()); }};
    }

    // Runs the dialog on the steps; Cancel for ever after them. A pointer
    // step of a type that is switched off is dropped, as the toolkit does.
    void run(std::vector<Step> steps) {
        std::deque<Step> q(steps.begin(), steps.end());
        EditContext ctx{*store,
                        cut,
                        colours,
                        1,
                        [this] { ++redraws; },
                        [&q](int& type, EventRecord& e) {
                            for (;;) {
                                WMessage(type, e);
                                if (type != EventType::CloseRequest) return;
                                if (q.empty()) {
                                    type = EventType::PushButton, e = {}, e.source = 103, e.data1 = 2;
                                    return;
                                }
                                Step s = q.front();
                                q.pop_front();
                                if (s.act) {
                                    s.act();
                                } else if (toolkit::eventEnabled(s.type)) {
                                    type = s.type, e = s.event;
                                    return;
                                }
                            }
                        }};
        interpolate(ctx);
        EXPECT_TRUE(q.empty()) << "the dialog ended before its input did";
        EXPECT_FALSE(toolkit::eventEnabled(EventType::MouseMove));
        EXPECT_FALSE(toolkit::eventEnabled(EventType::MouseButUp));
    }

    // "first depth|first temp|last depth|last temp" as dialog 103 shows them.
    static std::string fields() {
        const toolkit::LoadedDialog* d = toolkit::findDialog(103);
        std::string s;
        for (int f : {1030, 1031, 1024, 1032}) s += (s.empty() ? "" : "|") + d->value(d->tpl.indexOf(f)).text;
        return s;
    }
    static bool shown(int dialog) { return toolkit::findDialog(dialog)->shown; }

    std::unique_ptr<ProfileStore> store;
    CutState cut;
    PlotColours colours = buildColourTable();
    int redraws = 0;
};

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Interpolate, DragShowsThePointLiveAndOkRepairsBetweenTheEnds) {
    profile(2.0f, 20, 20);  // one point per bin: no widening
    cur2().t[5] = 20.0f;    // 10 m
    cur2().t[10] = 15.0f;   // 20 m
    cur2().t[7] = 99.0f;    // the spike at 14 m
    (*store)[4].t[7] = 99.0f;
    cur2().iclass[12] = 3, cur2().iclass[13] = 4, cur2().iclass[14] = 5, cur2().iclass[15] = 0;
    std::vector<std::string> seen;
    run(std::vector<Step>{
            pointer(EventType::MouseMove, 3.0f), pointer(EventType::MouseButUp, 3.0f),
            pointer(EventType::MouseButDown, 6.2f), note(seen), pointer(EventType::MouseMove, 9.3f),
            note(seen),
            // Leaving the plot above the surface or the window keeps the point.
            pointer(EventType::MouseMove, -10.0f), pointer(EventType::MouseMove, 30.0f, -5, 100),
            pointer(EventType::MouseMove, 30.0f, 100, 5000), note(seen),
            pointer(EventType::MouseButUp, -10.0f), pointer(EventType::MouseMove, 16.0f), note(seen)} +
        drag(25.0f, {20.4f}) + std::vector<Step>{note(seen), click(103, 1)});
    EXPECT_EQ(seen, (std::vector<std::string>{"6.000| 29.400|0.000|", "10.000| 20.000|0.000|",
                                              "10.000| 20.000|0.000|", "10.000| 20.000|0.000|",
                                              "10.000| 20.000|20.000| 15.000"}));
    const SlotData& c = cur2();
    EXPECT_FLOAT_EQ(c.t[7], 18.0f);
    EXPECT_FLOAT_EQ(c.t[6], 19.0f);
    EXPECT_FLOAT_EQ(c.t[5], 20.0f);
    EXPECT_FLOAT_EQ(c.t[10], 15.0f);
    EXPECT_EQ(classes2(20), (std::vector<int>{1, 1, 1, 1, 1, 5, 5, 5, 5, 2, 2, 3, 4, 5, 2, 2, 2, 2, 2, 2}));
    EXPECT_TRUE(c.code[6] == "SP" && c.code[9] == "SP" && c.code[5] == "" && c.code[10] == "");
    EXPECT_FLOAT_EQ((*store)[4].t[7], 99.0f) << "the drop as loaded keeps its values";
    EXPECT_FALSE(shown(103));
    EXPECT_TRUE(toolkit::takeBoxes().empty());
    EXPECT_EQ(redraws, 0) << "OK draws the traces over the picture";
}

TEST_F(Interpolate, ChooseDepthModeShowsTheListAndRefusesClicks) {
    profile(1.0f, 60, 60);
    std::vector<std::string> rows;
    const auto selected = [&] {
        return Step{
            0, {}, [&] {
                const toolkit::LoadedDialog* d = toolkit::findDialog(105);
                rows.push_back(shown(105) ? std::to_string(d->value(d->tpl.indexOf(1029)).selected) : "-");
            }};
    };
    std::vector<std::string> seen;
    run({click(103, 1038), selected(), pointer(EventType::MouseButDown, 20.0f), row(7), note(seen),
         click(103, 1009), selected(), click(103, 1038), selected()});
    // Row 0 stands for row 50 before any point is chosen.
    EXPECT_EQ(rows, (std::vector<std::string>{"50", "-", "7"}));
    EXPECT_EQ(seen, std::vector<std::string>{"7.000| 29.300|0.000|"}) << "the click picked nothing";
    EXPECT_EQ(messages(), std::vector<std::string>{"In Choose Depth entry mode"});
}

TEST_F(Interpolate, RefusedRepairsKeepOrRestartTheDialog) {
    profile(2.0f, 40, 40);
    const SlotData before = cur2();
    std::vector<std::string> seen;
    std::vector<int> drawn;
    toolkit::setTrace(true);
    run(std::vector<Step>{click(103, 1)} + drag(20.0f, {}) + std::vector<Step>{click(103, 1)} +
        drag(22.0f, {}) + std::vector<Step>{click(103, 1), note(seen), lastColour(drawn)} +  // adjacent
        drag(60.0f, {}) + drag(20.0f, {}) +
        std::vector<Step>{click(103, 1), note(seen), lastColour(drawn)});  // 20 points above
    EXPECT_EQ(messages(), (std::vector<std::string>{"I need a first and last depth for interpolation",
                                                    "I need a first and last depth for interpolation",
                                                    "No points to interpolate..try again",
                                                    "No points to interpolate..try again"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"0.000||0.000|", "0.000||0.000|"})) << "both points cleared";
    // The loaded drop drawn on OK covers the trace in green; the profile as
    // it stands is drawn again over it, in its class colours.
    EXPECT_EQ(drawn, (std::vector<int>{colours(4), colours(4)}));
    EXPECT_EQ(cur2().t, before.t);
    EXPECT_EQ(cur2().iclass, before.iclass);
}

TEST_F(Interpolate, LastPointBelowTheCutRestoresTheFullLengthAndMovesTheCut) {
    profile(1.0f, 50, 30);
    cur2().iclass[45] = 4;
    cut.npts4 = 30;  // a cut confirmed at 30 m whose write failed
    run(drag(20.0f, {}) + drag(40.0f, {}) + std::vector<Step>{click(103, 1)});
    EXPECT_EQ(cur2().npts, 50);
    EXPECT_FLOAT_EQ(cut.xdbr, 50.0f);
    EXPECT_EQ(cut.mess0.str(), "<Enter>=Set class=4 at   50.000m and write");
    // 20 m shares bin 11 with 21 m: the repair starts at 19 m.
    EXPECT_EQ(std::vector<int>({cur2().iclass[19], cur2().iclass[20], cur2().iclass[39], cur2().iclass[40],
                                cur2().iclass[45], cur2().iclass[50]}),
              (std::vector<int>{1, 5, 5, 2, 4, 2}));
}

TEST_F(Interpolate, EraserClearsOnlyTheFirstPoint) {
    profile(2.0f, 40, 40);
    std::vector<std::string> seen;
    run(drag(10.0f, {}) + drag(30.0f, {}) +
        std::vector<Step>{click(103, 2001), note(seen), click(103, 1)} +  // no first point now
        drag(20.0f, {}) + std::vector<Step>{note(seen), click(103, 1)});
    EXPECT_EQ(seen, (std::vector<std::string>{"0.000||30.000| 27.000", "20.000| 28.000|30.000| 27.000"}));
    EXPECT_EQ(messages(), std::vector<std::string>{"I need a first and last depth for interpolation"});
    EXPECT_EQ(cur2().iclass[9], 1);
    EXPECT_EQ(cur2().iclass[11], 5);
    EXPECT_EQ(cur2().iclass[14], 5);
    EXPECT_EQ(cur2().iclass[15], 2);
}

TEST_F(Interpolate, CancelChangesNothingAndTheDialogRedrawsOnExposeAndResize) {
    profile(2.0f, 40, 40);
    const SlotData before = cur2();
    run(drag(10.0f, {}) + drag(30.0f, {}) +
        std::vector<Step>{event(EventType::Expose), event(EventType::MenuSelect, 40009),
                          event(EventType::Resize), event(EventType::KeyDown, 13), click(103, 2)});
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(cur2().t, before.t);
    EXPECT_EQ(cur2().iclass, before.iclass);
    EXPECT_FALSE(shown(103));
    EXPECT_FALSE(shown(105));
}

}  // namespace
