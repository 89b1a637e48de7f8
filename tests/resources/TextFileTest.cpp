// The two embedded text files: line ends, the factory presets, and a skin
// script whose every line parses into what the editor is built from.

#include "ResourceFiles.h"
#include "SkinScript.h"

#include <gtest/gtest.h>

#include <set>

using namespace restest;

namespace {

using Rows = std::vector<std::vector<std::string>>;

}  // namespace

TEST(ResourceTexts, LinesEndInCrLfAndHoldOnlyPrintableAscii) {
    for (const char* file : {"QolmPreset.txt", "QolmSkin.txt"}) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> b = readResource(file);
        ASSERT_GE(b.size(), 2u);
        EXPECT_EQ(b[b.size() - 2], '\r');
        EXPECT_EQ(b[b.size() - 1], '\n');
        int loneLf = 0, loneCr = 0, other = 0;
        for (size_t i = 0; i < b.size(); ++i) {
            if (b[i] == '\n' && (i == 0 || b[i - 1] != '\r')) ++loneLf;
            if (b[i] == '\r' && (i + 1 == b.size() || b[i + 1] != '\n')) ++loneCr;
            if (b[i] != '\r' && b[i] != '\n' && (b[i] < 0x20 || b[i] > 0x7E)) ++other;
        }
        EXPECT_EQ(loneLf, 0);
        EXPECT_EQ(loneCr, 0);
        EXPECT_EQ(other, 0);
    }
}

TEST(ResourcePreset, HoldsTheThreeFactoryPresetsInBlocks) {
    const std::vector<std::string> expected = {
        "# Qolm Presets",
        "",
        "PRESET \"All Pass\"",
        "SETSTR \"Gain\" \"0.0\"",
        "SETSTR \"Cut Off\" \"20.0\"",
        "SETSTR \"Res\" \"0.0\"",
        "",
        "PRESET \"Cut Bass\"",
        "SETSTR \"Gain\" \"0.0\"",
        "SETSTR \"Cut Off\" \"120.0\"",
        "SETSTR \"Res\" \"0.0\"",
        "",
        "PRESET \"Res High\"",
        "SETSTR \"Gain\" \"-1.0\"",
        "SETSTR \"Cut Off\" \"900.0\"",
        "SETSTR \"Res\" \"50.0\"",
    };
    EXPECT_EQ(crlfLines(readResource("QolmPreset.txt")), expected);
}

TEST(ResourceSkin, StartsWithACommentAndUsesOnlyItsCommands) {
    const std::vector<std::string> lines = crlfLines(readResource("QolmSkin.txt"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("# ", 0), 0u);
    EXPECT_GT(lines.front().size(), 3u);
    const std::set<std::string> known = {"InstallTTF", "AddResource", "Init", "BackgroundMap", "AddControl"};
    for (const std::string& line : lines) {
        const std::vector<std::string> t = tokens(line);
        if (!t.empty()) {
            EXPECT_TRUE(known.count(t[0])) << line;
        }
    }
}

TEST(ResourceSkin, DeclaresResourcesThenTheControlsOfBothPages) {
    const Rows expected = {
        {"InstallTTF", "ZSans", "ZSans.ttf"},
        {"InstallTTF", "ZFont1", "ZFont1.ttf"},
        {"AddResource", "valcol", "RGBColour", "220", "240", "255"},
        {"AddResource", "dotcol", "RGBColour", "40", "40", "50"},
        {"AddResource", "lblcol", "RGBColour", "180", "190", "200"},
        {"AddResource", "peakcol", "RGBColour", "140", "160", "175"},
        {"AddResource", "clipcol", "RGBColour", "220", "240", "255"},
        {"AddResource", "prmcol", "RGBColour", "235", "245", "255"},
        {"AddResource", "valfont", "DefFont", "12.4", "valcol", "ZSans"},
        {"AddResource", "lblfont", "DefFont", "13.4", "lblcol", "ZSans"},
        {"AddResource", "peakfont", "DefFont", "12.4", "peakcol", "ZSans"},
        {"AddResource", "clipfont", "DefFont", "12.4", "clipcol", "ZSans"},
        {"AddResource", "prmfont", "DefFont", "17", "prmcol", "ZFont1"},
        {"AddResource", "bgimg", "PngResource", "Qolm.png", "285", "195", "2"},
        {"AddResource", "bgtitle", "PngResource", "QolmTitle.png", "150", "55", "1"},
        {"AddResource", "clipimg", "PngResource", "RedLed.png", "15", "15", "2"},
        {"AddResource", "valbg60x15", "PngResource", "ValBg60x15.png", "60", "15", "1"},
        {"AddResource", "tabtopmain50x20", "PngResource", "TabTopMain50x20.png", "50", "20", "3"},
        {"AddResource", "tabtopinfo50x20", "PngResource", "TabTopInfo50x20.png", "50", "20", "3"},
        {"AddResource", "dial060", "PngResource", "Dial060.png", "60", "60", "2"},
        {"AddResource", "donate85x30", "PngResource", "Donate85x30.png", "85", "30", "1"},
        {"Init", "285", "195", "2"},
        {"BackgroundMap", "bgimg"},
        {"AddControl", "0", "175", "0", "50", "20", "ZImgPageSel", "tabtopmain50x20", "1"},
        {"AddControl", "0", "230", "0", "50", "20", "ZImgPageSel", "tabtopinfo50x20", "2"},
        {"AddControl", "1", "0", "0", "150", "55", "ZImg", "bgtitle"},
        {"AddControl", "1", "20", "75", "70", "20", "ZLabel", "Centre", "Gain", "prmfont", "0"},
        {"AddControl", "1", "25", "95", "60", "60", "ZBgPotDot", "Gain", "dial060", "15", "dotcol"},
        {"AddControl", "1", "25", "155", "60", "15", "ZBgValue", "Gain", "valbg60x15", "valfont"},
        {"AddControl", "1", "115", "75", "70", "20", "ZLabel", "Centre", "Cut Off", "prmfont", "0"},
        {"AddControl", "1", "120", "95", "60", "60", "ZBgPotDot", "Cut Off", "dial060", "15", "dotcol"},
        {"AddControl", "1", "120", "155", "60", "15", "ZBgValue", "Cut Off", "valbg60x15", "valfont"},
        {"AddControl", "1", "190", "75", "70", "20", "ZLabel", "Centre", "Resonance", "prmfont", "0"},
        {"AddControl", "1", "195", "95", "60", "60", "ZBgPotDot", "Res", "dial060", "15", "dotcol"},
        {"AddControl", "1", "195", "155", "60", "15", "ZBgValue", "Res", "valbg60x15", "valfont"},
        {"AddControl", "1", "165", "35", "15", "15", "ZImgPeak", "Peak", "PeakReset", "clipimg"},
        {"AddControl", "1", "185", "35", "75", "15", "ZTextPeak", "Peak", "PeakReset", "peakfont", "clipfont"},
        {"AddControl", "2", "0", "0", "150", "55", "ZImgUrl", "bgtitle", "https://vrax.example/qolm"},
        {"AddControl", "2", "180", "40", "85", "30", "ZImgUrl", "donate85x30", "https://vrax.example/support"},
        {"AddControl", "2", "20", "75", "245", "20", "ZLabel", "Left", "VRAX Qolm ${PlugVer} ~ High-pass filter",
         "lblfont", "0"},
        {"AddControl", "2", "20", "95", "245", "20", "ZLabel", "Left",
         "Build ~ ${PlugBuild} ~ ${Platform} ~ ${BuildDate}", "lblfont", "0"},
        {"AddControl", "2", "20", "120", "215", "20", "ZLabel", "Left", "(c) 2024 VRAX ~ vrax.example", "lblfont", "0"},
        {"AddControl", "2", "20", "150", "215", "20", "ZLabel", "Left",
         "${SRate} Hz ~ ${Inputs}x${Outputs} ~ ${HostName}", "lblfont", "15000"},
    };
    const SkinScript skin = SkinScript::load();
    ASSERT_EQ(skin.commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(skin.commands[i], expected[i]) << "line " << i + 1;
}

TEST(ResourceSkin, NamesOnlyWhatItDeclaredEarlier) {
    // Which arguments of each control type name a resource.
    const std::map<std::string, std::vector<size_t>> refs = {
        {"ZImgPageSel", {0}}, {"ZImg", {0}},          {"ZImgUrl", {0}},      {"ZLabel", {2}},
        {"ZBgPotDot", {1, 3}}, {"ZBgValue", {1, 2}}, {"ZImgPeak", {2}}, {"ZTextPeak", {2, 3}},
    };
    const std::set<std::string> embeddedFonts = {"ZSans.ttf", "ZFont1.ttf"};
    std::set<std::string> faces, resources;
    bool sized = false;
    int controls = 0;
    for (const std::vector<std::string>& t : SkinScript::load().commands) {
        const std::string& k = t[0];
        SCOPED_TRACE(k + (t.size() > 1 ? " " + t[1] : std::string()));
        if (k == "InstallTTF") {
            ASSERT_EQ(t.size(), 3u);
            EXPECT_TRUE(embeddedFonts.count(t[2]));
            faces.insert(t[1]);
        } else if (k == "AddResource") {
            ASSERT_GE(t.size(), 3u);
            EXPECT_FALSE(resources.count(t[1])) << "declared twice";
            if (t[2] == "DefFont") {
                ASSERT_EQ(t.size(), 6u);
                EXPECT_TRUE(resources.count(t[4]));
                EXPECT_TRUE(faces.count(t[5]));
            } else if (t[2] == "PngResource") {
                ASSERT_EQ(t.size(), 7u);
                EXPECT_FALSE(readResource(t[3]).empty()) << t[3];
            }
            resources.insert(t[1]);
        } else if (k == "Init") {
            sized = true;
        } else if (k == "BackgroundMap") {
            EXPECT_TRUE(sized);
            EXPECT_TRUE(resources.count(t[1]));
        } else if (k == "AddControl") {
            ASSERT_GE(t.size(), 7u);
            const auto it = refs.find(t[6]);
            ASSERT_NE(it, refs.end()) << t[6];
            for (size_t arg : it->second) {
                ASSERT_LT(7 + arg, t.size());
                EXPECT_TRUE(resources.count(t[7 + arg])) << t[7 + arg];
            }
            ++controls;
        }
    }
    EXPECT_EQ(controls, 20);
}

TEST(ResourceSkin, LinksOpenTheProjectsOwnPages) {
    int links = 0;
    for (const SkinControl& c : SkinScript::load().controls) {
        if (c.type != "ZImgUrl") continue;
        ASSERT_EQ(c.args.size(), 2u);
        EXPECT_EQ(c.args[1].rfind("https://vrax.example/", 0), 0u) << c.args[1];
        EXPECT_GT(c.args[1].size(), std::string("https://vrax.example/").size());
        ++links;
    }
    EXPECT_EQ(links, 2);
}
