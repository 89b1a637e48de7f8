// X connections are the server's scarce resource (256 clients by default):
// an instance holds none until its editor opens, and a closed editor none.
#include <gtest/gtest.h>

#include "editor/XTestSupport.h"
#include "support/PluginHost.h"
#include "tools/rtbench/ProcessCounts.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using rtwatch::descriptorCount;
using rtwatch::socketCount;

class XConnections : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        displayName = name;
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(edtest::quietErrors);
    }
    void TearDown() override {
        if (!displayName.empty()) setenv("DISPLAY", displayName.c_str(), 1);
        if (display) XCloseDisplay(display);
    }
    std::string displayName;
    Display* display = nullptr;
};

TEST_F(XConnections, ThreeHundredInstancesLeaveTheServerOpenToOthers) {
    const int sockets = socketCount();
    std::vector<std::unique_ptr<qtest::PluginHost>> hosts;
    for (int i = 0; i < 300; ++i) {
        hosts.push_back(std::make_unique<qtest::PluginHost>());
        ASSERT_NE(hosts.back()->create(), nullptr) << "instance " << i;
        hosts.back()->dispatch(effOpen);
    }
    EXPECT_EQ(socketCount(), sockets) << "instances without an editor hold connections";
    Display* other = XOpenDisplay(nullptr);
    EXPECT_NE(other, nullptr) << "another client cannot connect";
    if (other) XCloseDisplay(other);
    for (auto& host : hosts) EXPECT_EQ(host->close(), 1);
}

// A host started without a usable display (a server, a scan on a console)
// still gets its instance at once; the editor then stays blank and closes.
TEST_F(XConnections, EntryWithoutAUsableDisplayReturnsAtOnce) {
    // A display number whose socket does not exist.
    char nowhere[16] = {};
    for (int n = 90; n < 200; ++n) {
        char socketPath[64];
        std::snprintf(socketPath, sizeof(socketPath), "/tmp/.X11-unix/X%d", n);
        struct stat info {};
        std::snprintf(nowhere, sizeof(nowhere), ":%d", n);
        if (stat(socketPath, &info) != 0) break;
    }
    const int sockets = socketCount();
    for (const char* value : {static_cast<const char*>(nullptr), static_cast<const char*>(nowhere)}) {
        SCOPED_TRACE(value ? value : "DISPLAY unset");
        if (value)
            setenv("DISPLAY", value, 1);
        else
            unsetenv("DISPLAY");
        qtest::PluginHost host;
        const auto start = std::chrono::steady_clock::now();
        AEffect* e = host.create();
        const auto took = std::chrono::steady_clock::now() - start;
        ASSERT_NE(e, nullptr);
        EXPECT_LT(took, std::chrono::seconds(2));
        EXPECT_NE(e->flags & effFlagsHasEditor, 0);
        EXPECT_EQ(socketCount(), sockets);
        // The window thread finds no server and ends; close joins it.
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(1))), 1);
        host.dispatch(effEditClose);
        EXPECT_EQ(host.close(), 1);
        EXPECT_EQ(socketCount(), sockets);
    }
}

TEST_F(XConnections, TwoHundredOpenCloseCyclesLeaveNoConnectionThreadOrDescriptor) {
    qtest::PluginHost host;
    ASSERT_NE(host.create(), nullptr);
    host.dispatch(effOpen);
    const Window parent = edtest::makeParent(display, 285, 195);
    const auto editorShown = [&] { return edtest::childrenOf(display, parent).size() == 1; };
    const auto cycle = [&] {
        if (host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 1) return false;
        const bool shown = edtest::waitFor(editorShown, 20000);
        host.dispatch(effEditClose);
        return shown;
    };
    // The first open loads the GL driver, which then stays.
    ASSERT_TRUE(cycle());
    const int descriptors = descriptorCount(false);
    const int sockets = socketCount();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        ASSERT_TRUE(edtest::waitFor(editorShown, 20000)) << "cycle " << i;
        // The window thread's own connection, and no other.
        if (i % 50 == 0) {
            EXPECT_EQ(socketCount(), sockets + 1);
        }
        host.dispatch(effEditClose);
        ASSERT_EQ(socketCount(), sockets) << "cycle " << i;
    }
    EXPECT_EQ(descriptorCount(false), descriptors);
    EXPECT_EQ(edtest::editorThreads(), 0) << "a window thread outlived its editor";
    XDestroyWindow(display, parent);
    XSync(display, False);
}

}  // namespace
