// Fixtures for the toolkit's own tests: a real main window on the offscreen
// platform, or the headless test mode, each with a fresh session.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>

#include "toolkit/core.h"
#include "toolkit/internal.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace tktest {

inline WindowRecord mainRecord(int width = 640, int height = 480) {
    WindowRecord r;
    r.flags = 39;
    r.width = width;
    r.height = height;
    r.menu = 30001;
    r.title = "Dropfix TEST   ";
    return r;
}

inline void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The next event without blocking: false when nothing is pending.
inline bool nextEvent(int& type, EventRecord& e) {
    if (!toolkit::noWindowSystem()) settle();
    if (toolkit::core().queue.empty()) return false;
    WMessage(type, e);
    return true;
}

inline void drain() {
    if (!toolkit::noWindowSystem()) settle();
    toolkit::core().queue.clear();
}

class Windowed : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit::setHeadless(false);
        WInitialise(" ");
        toolkit::resetSession();
        WindowOpen(mainRecord());
        drain();
    }
    void TearDown() override {
        WindowClose();
        toolkit::resetSession();
    }
};

class Headless : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit::setHeadless(true);
        WInitialise(" ");
        toolkit::resetSession();
        WindowOpen(mainRecord(0, 0));
        drain();
    }
    void TearDown() override {
        WindowClose();
        toolkit::resetSession();
        toolkit::setHeadless(false);
    }
};

}  // namespace tktest
