// A scratch copy of the demo cruise and a program-wide state set up on it as
// the start-up leaves it, with a headless toolkit and a memory log, so that
// the drop loading and the commands run as plain functions.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/drop_files.h"
#include "app/state.h"
#include "app_fixture.h"
#include "toolkit/session.h"

class CruiseTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        cruise = root / "cruise";
        std::filesystem::copy(std::filesystem::path(DROPFIX_SOURCE_DIR) / "examples" / "demo-cruise", cruise,
                              std::filesystem::copy_options::recursive);
        st = std::make_unique<State>();
        st->mainLog = Log::memory();
        st->startLog = Log::memory();
        st->paths.astations = PathText((cruise / "stations.dat").string());
        const std::string prefix = cruise.string() + "/";
        st->files.f1r = PathText(prefix);
        st->acruise = FixedText<13>("DEMO01");
        st->len_acruise = 6;
        ASSERT_FALSE(
            buildTemplates(st->files, static_cast<int>(prefix.size()), st->acruise, st->len_acruise));
        ASSERT_EQ(parseStations(read(cruise / "stations.dat"), st->stations).failure, StationFailure::None);
        choosedrop(st->stations, st->files, st->idropnum, st->inext);
        st->plot.tmin = 0;
        st->plot.tmax = 30;
        st->colours = buildColourTable();
        toolkit::setTrace(true);
    }
    void TearDown() override {
        toolkit::setTrace(false);
        AppTest::TearDown();
    }

    std::string file(const std::string& name) const { return read(cruise / name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(cruise / name); }
    std::string digits(const PathText& name) const {
        return std::string(name.cols(static_cast<std::size_t>(st->files.len_f1) + 3,
                                     static_cast<std::size_t>(st->files.len_f1) + 5));
    }
    // The status column of a drop's line in memory.
    int status(int drop) const { return st->stations[drop].istatus; }
    // Drop d as the drop to edit, with d - 1 and d + 1 beside it, as New leaves them.
    void pointat(int d) {
        st->idropnum = d;
        st->inext = d + 1;
        putDropDigits(st->files, DropSlot::Previous, dropDigits(d - 1));
        putDropDigits(st->files, DropSlot::Current, dropDigits(d));
        putDropDigits(st->files, DropSlot::Next, dropDigits(d + 1));
    }

    std::filesystem::path cruise;
    std::unique_ptr<State> st;
};
