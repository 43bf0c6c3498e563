// A fresh temporary directory for each test: the working directory, the
// stand-in for drive c: (DROPFIX_DRIVE_C) and a headless toolkit session.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "toolkit/session.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "dropfix-app-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root = std::filesystem::canonical(tmpl);
        drive = root / "c";
        std::filesystem::create_directories(drive);
        ::setenv("DROPFIX_DRIVE_C", drive.c_str(), 1);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(root);
        toolkit::setHeadless(true);
        toolkit::resetSession();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
        ::unsetenv("DROPFIX_DRIVE_C");
    }

    static void write(const std::filesystem::path& p, const std::string& text) {
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path root, drive, previous;
};
