// The built dropfix program driven by operator scripts on a scratch copy of
// the demo cruise, for the end-to-end tests: running a script, and reading
// back the files, the transcript and the logs that it left.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../app/app_fixture.h"

namespace fs = std::filesystem;

class Session : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        cruise = root / "cruise";
        copyDemo(cruise);
        original = read(cruise / "stations.dat");
    }

    static void copyDemo(const fs::path& to) {
        fs::copy(fs::path(DROPFIX_SOURCE_DIR) / "examples" / "demo-cruise", to, fs::copy_options::recursive);
    }

    // Runs the program on the cruise with the script lines; returns its exit
    // status, with the transcript in out and standard error in err.
    int run(const std::vector<std::string>& lines, const fs::path& dir = {},
            std::string binary = DROPFIX_BINARY) {
        std::string script;
        for (const auto& l : lines) script += l + "\n";
        write(root / "script.txt", script);
        const fs::path where = dir.empty() ? cruise : dir;
        const std::string cmd = "QT_QPA_PLATFORM=offscreen " + user + "'" + binary + "' --script '" +
                                (root / "script.txt").string() + "' '" + where.string() + "' > '" +
                                (root / "out.txt").string() + "' 2> '" + (root / "err.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "out.txt");
        err = read(root / "err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
    }

    // The station list as first read, with the given statuses put in.
    std::string listWith(const std::vector<std::pair<int, int>>& statuses) const {
        std::string s = original;
        for (auto [drop, status] : statuses) {
            const std::string col = std::to_string(status);
            s.replace(static_cast<std::size_t>(drop - 1) * 71 + 57, 5,
                      std::string(5 - col.size(), ' ') + col);
        }
        return s;
    }
    bool has(const std::string& name) const { return fs::exists(cruise / name); }
    std::string mainLog() const { return read(cruise / "dropfix.log"); }
    // The first data record of a q file: depth, temperature, class and code.
    std::string firstRecord(const std::string& name) const {
        const std::string q = read(cruise / name);
        const auto l1 = q.find('\n');
        const auto l2 = q.find('\n', l1 + 1);
        return q.substr(l2 + 1, q.find('\n', l2 + 1) - l2 - 1);
    }
    // The records that reading raw drop files left in dropfix.log: the reader
    // logs the short last line of each file it reads.
    std::vector<std::string> rawRecords() const {
        std::vector<std::string> r;
        const std::string log = mainLog();
        for (auto at = log.find("\ntry reading last line"); at != std::string::npos;
             at = log.find("\ntry reading last line", at + 1))
            r.push_back(log.substr(at + 1, log.find('\n', at + 1) - at - 1));
        return r;
    }
    // The same records expected from reading these drops in this order.
    std::vector<std::string> rawRecordsOf(const std::vector<int>& drops) const {
        std::vector<std::string> r;
        for (int d : drops) {
            char name[24];
            std::snprintf(name, sizeof name, "DEMO01r_%03d.KTD", d);
            const std::string raw = read(cruise / name);
            const int n = std::atoi(raw.c_str() + raw.find("XBT:") + 4);
            if (n % 20 != 0) r.push_back("try reading last line: nremain= " + std::to_string(n % 20));
        }
        return r;
    }
    int editedFiles() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(cruise)) {
            const std::string f = e.path().filename().string();
            n += f.rfind("DEMO01q.", 0) == 0 || f.rfind("DEMO01e.", 0) == 0;
        }
        return n;
    }

    // Permissions mean nothing to the superuser: the program then runs as
    // nobody, over files that nobody owns.
    void runAsAnOrdinaryUser() {
        if (::geteuid() != 0) return;
        constexpr uid_t nobody = 65534;
        ASSERT_EQ(::chown(root.c_str(), nobody, nobody), 0);
        for (const auto& e : fs::recursive_directory_iterator(root))
            ASSERT_EQ(::lchown(e.path().c_str(), nobody, nobody), 0) << e.path();
        user = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    static mode_t modeOf(const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    }
    std::string startLog() const { return read(cruise / "dropfix-start.log"); }
    std::string journal() const { return read(cruise / ".stations.dat.journal"); }

    fs::path cruise;
    std::string original, out, err, user;
};
