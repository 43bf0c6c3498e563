// A headless session and a blank current profile for the QC tests.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "profile/profile_store.h"
#include "toolkit/session.h"

class QcTest : public testing::Test {
protected:
    void SetUp() override {
        toolkit::setHeadless(true);
        toolkit::resetSession();
    }

    // Fills points 1.. with positive depths (stored negative) and returns n.
    int depths(std::initializer_list<float> metres) {
        int i = 0;
        for (float m : metres) cur.depth[++i] = -m;
        return i;
    }
    void temps(std::initializer_list<float> v) {
        int i = 0;
        for (float x : v) cur.t[++i] = x;
    }
    void classes(std::initializer_list<int> v) {
        int i = 0;
        for (int c : v) cur.iclass[++i] = c;
    }
    std::vector<int> classesOf(int n) const {
        return std::vector<int>(cur.iclass.begin() + 1, cur.iclass.begin() + 1 + n);
    }
    std::vector<std::string> messages() {
        std::vector<std::string> out;
        for (const auto& b : toolkit::takeBoxes()) out.push_back(b.message);
        return out;
    }

    SlotData cur{};
};
