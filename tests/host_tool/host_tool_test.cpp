// qolm-host is a host for any VST 2 plug-in, not only ours.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct Run {
    int status;
    std::string out;
};

Run run(const std::string& command) {
    Run r{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

const std::string tool = QOLM_HOST_TOOL;
}  // namespace

TEST(HostTool, InfoShowsWhatAHostSeesOfQolm) {
    Run r = run(tool + " info " + QOLM_PLUGIN_PATH);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("name         Qolm"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("vendor       VRAX"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("unique id    'Kp4w'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("version      3100"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("parameters   3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("programs     10"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("inputs       2"), std::string::npos) << r.out;
}

TEST(HostTool, InfoWithoutAPathUsesTheLibraryBuiltBesideIt) {
    Run r = run(tool + " info");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Kp4w"), std::string::npos) << r.out;
}

TEST(HostTool, LogShowsTheCallbacks) {
    Run r = run(tool + " info --log " + QOLM_PLUGIN_PATH);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("audioMasterVersion"), std::string::npos) << r.out;
}

TEST(HostTool, BadInputIsReportedWithAnExitCode) {
    Run missing = run(tool + " info /nonexistent/plugin.so");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.out.find("cannot load"), std::string::npos) << missing.out;
    Run notAPlugin = run(tool + " info /bin/true");
    EXPECT_NE(notAPlugin.status, 0) << notAPlugin.out;
    Run unknown = run(tool + " frobnicate");
    EXPECT_EQ(unknown.status, 2);
}

TEST(HostTool, LoadsAThirdPartyPlugin) {
    // A real VST 2 plug-in from Debian's lsp-plugins-vst (x86_64 only).
    const char* plugin = "/usr/lib/vst/lsp-plugins/comp-delay-mono.so";
    if (sizeof(void*) != 8 || access(plugin, R_OK) != 0) GTEST_SKIP() << "no 64-bit third-party plug-in here";
    Run r = run(tool + " info " + plugin);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("name         Delay Compensator Mono"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("parameters   11"), std::string::npos) << r.out;
}
