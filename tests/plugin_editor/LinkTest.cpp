// The two links of the information page, clicked with the pointer: a
// stand-in xdg-open first on PATH records the arguments it is started with.
#include "Fixture.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace e2e;

namespace {

// Our child processes as "pid state command" lines, from /proc.
std::string children() {
    std::string list;
    DIR* proc = opendir("/proc");
    if (!proc) return list;
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) != 2 || parent != getpid()) continue;
        list += std::to_string(pid) + " " + state + " " + line.substr(0, close + 1) + "; ";
    }
    closedir(proc);
    return list.empty() ? "none found" : list;
}

class LinkTest : public EditorE2E {
protected:
    void SetUp() override {
        EditorE2E::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        char pattern[] = "/tmp/qolm-links-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        log = dir + "/opened.txt";
        const std::string script = dir + "/xdg-open";
        {
            std::ofstream out(script);
            // One line per argument, then a line that ends the call.
            out << "#!/bin/sh\n"
                << "for a in \"$@\"; do printf 'arg:%s\\n' \"$a\"; done >> '" << log << "'\n"
                << "echo end >> '" << log << "'\n";
        }
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        const char* path = std::getenv("PATH");
        oldPath = path ? path : "/usr/bin:/bin";
        // Before the plug-in is loaded, as a host's environment would be.
        setenv("PATH", (dir + ":" + oldPath).c_str(), 1);
    }

    void TearDown() override {
        EditorE2E::TearDown();
        if (!oldPath.empty()) setenv("PATH", oldPath.c_str(), 1);
        if (!dir.empty()) {
            std::remove(log.c_str());
            std::remove((dir + "/xdg-open").c_str());
            rmdir(dir.c_str());
        }
    }

    std::string opened() const {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int calls() const {
        const std::string text = opened();
        int n = 0;
        for (size_t at = text.find("end\n"); at != std::string::npos; at = text.find("end\n", at + 1)) ++n;
        return n;
    }

    std::string dir;
    std::string log;
    std::string oldPath;
};

}  // namespace

TEST_F(LinkTest, TheTitleAndTheDonateButtonOpenTheirAddresses) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Window w = s->window();

    // On the main page the title is only a picture.
    clickAt(*s, kTitleLink.centreX(), kTitleLink.centreY());
    clickAt(*s, kInfoTab.centreX(), kInfoTab.centreY());
    ASSERT_TRUE(s->waitForPage(2));

    // A press on a link that is let go elsewhere opens nothing.
    pointer->moveTo(w, kTitleLink.centreX(), kTitleLink.centreY());
    pointer->press();
    pointer->moveTo(w, 10, 100);
    pointer->release();

    clickAt(*s, kTitleLink.centreX(), kTitleLink.centreY());
    ASSERT_TRUE(s->waitUntil([&] { return calls() >= 1; })) << "clicking the title started no xdg-open";
    clickAt(*s, kDonateLink.centreX(), kDonateLink.centreY());
    ASSERT_TRUE(s->waitUntil([&] { return calls() >= 2; })) << "clicking Donate started no xdg-open";

    // A link takes no press of its own: a press on the empty background
    // let go over the button opens it too.
    pointer->moveTo(w, 10, 100);
    pointer->press();
    pointer->moveTo(w, kDonateLink.centreX(), kDonateLink.centreY());
    pointer->release();
    ASSERT_TRUE(s->waitUntil([&] { return calls() >= 3; })) << "a release over Donate started no xdg-open";

    EXPECT_EQ(opened(),
              "arg:https://vrax.example/qolm\nend\n"
              "arg:https://vrax.example/support\nend\n"
              "arg:https://vrax.example/support\nend\n");

    // The openers were handed to init, and the short-lived process between
    // us and each of them is reaped by the window thread once it has gone:
    // soon nothing of ours is left, neither running nor a zombie.
    const auto noChildren = [] {
        siginfo_t info{};
        errno = 0;
        return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
    };
    EXPECT_TRUE(s->waitUntil(noChildren, 5000)) << "a child process remains: " << children();
}
