// Shared helpers of the profile tests: a scratch directory per test and
// small file helpers.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/fields.h"
#include "profile/drop_label.h"

class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() / ("dropfix-profile-" + std::to_string(::getpid()) +
                                                         "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path() const { return dir_.string() + "/"; }
    // The prefix that every drop file name of this directory starts with.
    std::string prefix() const { return path() + "DEMO01"; }
    int prefixLength() const { return static_cast<int>(prefix().size()); }
    FileName name(const std::string& rest) const { return FileName(prefix() + rest); }

private:
    std::filesystem::path dir_;
};

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}
