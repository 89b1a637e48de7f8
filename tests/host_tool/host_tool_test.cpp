// qolm-host is a host for any VST 2 plug-in, not only ours.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <cstdlib>
#include <unistd.h>

namespace {
struct Outcome {
    int status;
    std::string out;
};

Outcome run(const std::string& command) {
    Outcome r{-1, {}};
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
    Outcome r = run(tool + " info " + QOLM_PLUGIN_PATH);
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
    Outcome r = run(tool + " info");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Kp4w"), std::string::npos) << r.out;
}

TEST(HostTool, LogShowsTheCallbacks) {
    Outcome r = run(tool + " info --log " + QOLM_PLUGIN_PATH);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("audioMasterVersion"), std::string::npos) << r.out;
}

TEST(HostTool, BadInputIsReportedWithAnExitCode) {
    Outcome missing = run(tool + " info /nonexistent/plugin.so");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.out.find("cannot load"), std::string::npos) << missing.out;
    Outcome notAPlugin = run(tool + " info /bin/true");
    EXPECT_NE(notAPlugin.status, 0) << notAPlugin.out;
    Outcome unknown = run(tool + " frobnicate");
    EXPECT_EQ(unknown.status, 2);
}

TEST(HostTool, LoadsAThirdPartyPlugin) {
    // A real VST 2 plug-in from Debian's lsp-plugins-vst (x86_64 only).
    const char* plugin = "/usr/lib/vst/lsp-plugins/comp-delay-mono.so";
    if (sizeof(void*) != 8 || access(plugin, R_OK) != 0) GTEST_SKIP() << "no 64-bit third-party plug-in here";
    // Its allocations at unload are its own business, not a finding of ours.
    Outcome r = run("ASAN_OPTIONS=detect_leaks=0 " + tool + " info " + plugin);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("name         Delay Compensator Mono"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("parameters   11"), std::string::npos) << r.out;
}

TEST(HostTool, SkinCheckOfTheEmbeddedSkinIsClean) {
    Outcome r = run(tool + " skin-check --embedded");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("285 x 195, 2 page(s)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("20 control(s); 0 line(s) skipped"), std::string::npos) << r.out;
    // The skin file in the tree is the one that is embedded.
    Outcome file = run(tool + " skin-check " + QOLM_SOURCE_DIR + "/resources/QolmSkin.txt");
    ASSERT_EQ(file.status, 0) << file.out;
    EXPECT_NE(file.out.find("0 line(s) skipped"), std::string::npos) << file.out;
}

TEST(HostTool, SkinCheckNamesEverySkippedLine) {
    char path[] = "/tmp/qolm-skin-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string script =
        "# test skin\r\n"
        "Init 100 50 1\r\n"
        "AddResource col RGBColour 1 2 3\r\n"
        "AddResource fnt DefFont 12 nocolour ZSans\r\n"
        "Frobnicate 1 2\r\n"
        "AddControl 1 0 0 10 10 ZLabel Left\r\n"
        "AddControl 1 0 0 60 60 ZBgPotDot Volume nothing 15 col\r\n"
        "AddControl 1 0 0 10 10 ZKnob a b\r\n";
    ASSERT_EQ(write(fd, script.data(), script.size()), static_cast<ssize_t>(script.size()));
    close(fd);
    Outcome r = run(tool + " skin-check " + path);
    unlink(path);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("line 4: unresolved resource 'nocolour'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 5: unknown command 'Frobnicate'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 6: too few tokens"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 7: unknown parameter 'Volume'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("line 8: unknown control type 'ZKnob'"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("line 2:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("5 line(s) skipped"), std::string::npos) << r.out;
}

TEST(HostTool, SkinCheckFailsWhenTheScriptGivesNoEditor) {
    char path[] = "/tmp/qolm-skin-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string script = "Init 285 195 0\nAddResource col RGBColour 1 2 3\n";
    ASSERT_EQ(write(fd, script.data(), script.size()), static_cast<ssize_t>(script.size()));
    close(fd);
    Outcome r = run(tool + " skin-check " + path);
    unlink(path);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("no editor"), std::string::npos) << r.out;
    EXPECT_NE(run(tool + " skin-check /nonexistent/skin.txt").status, 0);
}
