// Links: which clicks open the address, and that the address reaches the
// desktop's opener as exactly one argument, untouched by any shell, without
// leaving a zombie behind. A stand-in "xdg-open" on PATH records what it got.
#include "controls/ZImg.h"
#include "controls/ZUrl.h"
#include "support/ControlFixture.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Children of this process that have ended but were not reaped.
std::vector<int> zombieChildren() {
    std::vector<int> zombies;
    DIR* proc = opendir("/proc");
    if (!proc) return zombies;
    const int self = static_cast<int>(getpid());
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        std::ifstream file(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(file, line)) continue;
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        if (parent == self && state == 'Z') zombies.push_back(pid);
    }
    closedir(proc);
    return zombies;
}

class UrlTest : public ctl::ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        char pattern[] = "/tmp/cbXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        record = dir + "/args";
        // One line per argument between markers, after the count; written
        // whole by a rename so that a reader never sees half of it.
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\n"
               << "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done; } > '" << record
               << ".part'\n"
               << "mv '" << record << ".part' '" << record << "'\n";
        script.close();
        ASSERT_EQ(chmod((dir + "/xdg-open").c_str(), 0755), 0);
        const char* path = getenv("PATH");
        oldPath = path ? path : "";
        setenv("PATH", (dir + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        for (const char* name : {"/xdg-open", "/args", "/args.part", "/pwned", "/pwned2", "/pwned3"})
            unlink((dir + name).c_str());
        rmdir(dir.c_str());
        ControlTest::TearDown();
    }
    // The arguments the stand-in received, or nothing when it did not run
    // within the time.
    std::vector<std::string> received(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        const auto until = std::chrono::steady_clock::now() + patience;
        while (!exists(record) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::ifstream file(record);
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        unlink(record.c_str());
        return lines;
    }
    static std::vector<std::string> oneArgument(const std::string& address) { return {"1", "<" + address + ">"}; }

    std::string dir;
    std::string record;
    std::string oldPath;
};

TEST_F(UrlTest, AddressReachesTheOpenerAsOneArgumentUntouched) {
    const std::string address = "https://e.org/a b?q=\"x\"&r='y'; touch " + dir + "/pwned $(touch " + dir +
                                "/pwned2) `touch " + dir + "/pwned3`|&";
    ASSERT_LE(address.size(), 118u);
    VRAX::ZUrl link(place(0, 0, 100, 20), address.c_str());
    EXPECT_EQ(link.cursorAt(1, 1), 2);
    EXPECT_FALSE(link.leftDown(false, false, 1, 1)) << "the press is not captured";
    EXPECT_FALSE(link.leftUp(false, false, 1, 1));
    EXPECT_EQ(received(), oneArgument(address));
    EXPECT_FALSE(exists(dir + "/pwned"));
    EXPECT_FALSE(exists(dir + "/pwned2"));
    EXPECT_FALSE(exists(dir + "/pwned3"));

    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(UrlTest, ShortAddressesDoNothingAndLongOnesAreCut) {
    VRAX::ZUrl seven(place(0, 0, 10, 10), "http://");
    seven.leftUp(false, false, 0, 0);
    EXPECT_TRUE(received(std::chrono::milliseconds(500)).empty());
    VRAX::ZUrl empty(place(0, 0, 10, 10), "");
    empty.leftUp(true, true, 0, 0);
    EXPECT_FALSE(VRAX::openLink(nullptr));
    EXPECT_TRUE(received(std::chrono::milliseconds(200)).empty());

    VRAX::ZUrl eight(place(0, 0, 10, 10), "http://x");
    eight.leftUp(true, false, 0, 0);  // modifiers do not matter
    EXPECT_EQ(received(), oneArgument("http://x"));

    for (size_t length : {118u, 119u, 300u}) {
        SCOPED_TRACE(length);
        std::string address = "https://example.org/";
        while (address.size() < length) address += static_cast<char>('a' + address.size() % 26);
        EXPECT_TRUE(VRAX::openLink(address.c_str()));
        EXPECT_EQ(received(), oneArgument(address.substr(0, 118)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(UrlTest, ReleaseOverTheLinkAfterAPressElsewhereOpensIt) {
    VRAX::ZEditorSkin skin(effect.get());
    VRAX::ZImageResource image("Title.png", 150, 55, 1);
    VRAX::ControlPlacement p = place(0, 0, 150, 55);
    p.skin = &skin;
    skin.controls.add(new VRAX::ZImg(p, &image));
    p = place(180, 40, 85, 30);
    p.skin = &skin;
    skin.controls.add(new VRAX::ZImgUrl(p, &image, "https://example.org/support"));

    EXPECT_FALSE(skin.leftDown(false, false, 20, 20));  // on the picture: nothing captures
    EXPECT_FALSE(skin.leftUp(false, false, 200, 50));
    EXPECT_EQ(received(), oneArgument("https://example.org/support"));
    EXPECT_EQ(skin.cursorAt(200, 50), 2);
}

TEST_F(UrlTest, MissingOpenerIsReportedAndLeavesNoZombie) {
    setenv("PATH", "/nonexistent-ctlb", 1);
    EXPECT_FALSE(VRAX::openLink("https://example.org/"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(zombieChildren().empty());
}

}  // namespace
