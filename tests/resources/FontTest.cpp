// The two embedded fonts against the boxes the skin gives its texts. The
// editor draws text unscaled and clips it to the control, so every text it
// can show must fit: measured as NanoVG lays it out.

#include "QolmVersion.h"
#include "ResourceFiles.h"
#include "SkinScript.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace restest;

namespace {

std::string expand(const std::string& text, const std::map<std::string, std::string>& vars) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t close = text.find('}', i);
        if (text.compare(i, 2, "${") == 0 && close != std::string::npos) {
            const auto it = vars.find(text.substr(i + 2, close - i - 2));
            if (it != vars.end()) out += it->second;
            i = close + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string printed(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

class ResourceFonts : public ::testing::Test {
protected:
    void SetUp() override {
        skin = SkinScript::load();
        ASSERT_TRUE(zfont1.open(QOLM_FONT_ZFONT1_PATH)) << QOLM_FONT_ZFONT1_PATH;
        ASSERT_TRUE(zsans.open(QOLM_FONT_ZSANS_PATH)) << QOLM_FONT_ZSANS_PATH;
    }

    const FontMeasure& measureFor(const std::string& fontName) {
        const std::string& face = skin.fonts.at(fontName).face;
        return face == "ZFont1" ? zfont1 : zsans;
    }

    // The widest of the texts in the font resource's face and size.
    int widest(const std::string& fontName, const std::vector<std::string>& texts, std::string* which) {
        const FontMeasure& m = measureFor(fontName);
        const float size = skin.fonts.at(fontName).size;
        int best = -1;
        for (const std::string& t : texts) {
            const int w = m.width(t, size);
            if (w > best) {
                best = w;
                *which = t;
            }
        }
        return best;
    }

    const SkinControl& control(const std::string& type, const std::string& firstArg) {
        for (const SkinControl& c : skin.controls)
            if (c.type == type && !c.args.empty() && c.args[0] == firstArg) return c;
        ADD_FAILURE() << "no " << type << " " << firstArg;
        static SkinControl none;
        return none;
    }

    SkinScript skin;
    FontMeasure zfont1, zsans;
};

}  // namespace

TEST_F(ResourceFonts, ComeFromTheConfiguredFilesAndMeasureText) {
    const std::map<std::string, std::string> faces = {{"ZFont1", "ZFont1.ttf"}, {"ZSans", "ZSans.ttf"}};
    EXPECT_EQ(skin.faces, faces);
    // A measure that returned nothing would let every text "fit".
    for (const FontMeasure* m : {&zfont1, &zsans}) {
        EXPECT_GT(m->width("Gain", 17.0f), 15);
        EXPECT_GT(m->width("WWWW", 13.4f), m->width("iiii", 13.4f));
        EXPECT_GT(m->width("Gain", 17.0f), m->width("Gain", 12.4f));
    }
}

TEST_F(ResourceFonts, CoverEveryPrintableAsciiCharacter) {
    // Host names reach the information page unfiltered.
    for (int c = 0x21; c <= 0x7E; ++c) {
        EXPECT_TRUE(zsans.hasGlyph(c)) << "ZSans lacks '" << char(c) << "'";
        EXPECT_TRUE(zfont1.hasGlyph(c)) << "ZFont1 lacks '" << char(c) << "'";
    }
}

TEST_F(ResourceFonts, CaptionsFitTheirBoxes) {
    int captions = 0;
    for (const SkinControl& c : skin.controls) {
        if (c.type != "ZLabel" || c.page != 1) continue;
        ASSERT_GE(c.args.size(), 3u);
        const int w = measureFor(c.args[2]).width(c.args[1], skin.fonts.at(c.args[2]).size);
        std::printf("caption %-10s %3d px of %d\n", c.args[1].c_str(), w, c.width);
        EXPECT_LE(w, c.width) << c.args[1];
        ++captions;
    }
    EXPECT_EQ(captions, 3);
}

TEST_F(ResourceFonts, EveryParameterValueFitsItsField) {
    std::vector<std::string> gain, cut, res;
    for (int i = -120; i <= 120; ++i) gain.push_back(printed("%.1f dB", i / 10.0));
    for (int hz = 20; hz <= 20000; ++hz) cut.push_back(printed("%.0f Hz", hz));
    for (int pc = 0; pc <= 100; ++pc) res.push_back(printed("%.0f %%", pc));
    const std::pair<const char*, std::vector<std::string>*> params[] = {{"Gain", &gain}, {"Cut Off", &cut}, {"Res", &res}};
    for (const auto& [name, texts] : params) {
        const SkinControl& c = control("ZBgValue", name);
        ASSERT_GE(c.args.size(), 3u);
        std::string which;
        const int w = widest(c.args[2], *texts, &which);
        std::printf("value   %-10s %3d px of %d (\"%s\")\n", name, w, c.width, which.c_str());
        EXPECT_LE(w, c.width) << which;
    }
}

TEST_F(ResourceFonts, PeakReadoutFitsDownToMinus99Point9Decibels) {
    const SkinControl& c = control("ZTextPeak", "Peak");
    ASSERT_GE(c.args.size(), 4u);
    std::vector<std::string> texts = {"Peak: -Inf dB"};
    for (int i = -999; i <= 999; ++i) texts.push_back(printed("Peak: %.1f dB", i / 10.0));
    for (const std::string& font : {c.args[2], c.args[3]}) {
        std::string which;
        const int w = widest(font, texts, &which);
        std::printf("peak    %-10s %3d px of %d (\"%s\")\n", font.c_str(), w, c.width, which.c_str());
        EXPECT_LE(w, c.width) << which;
    }
    // Quieter peaks (down to -120 dB) may lose a pixel at either end.
    std::printf("peak    below -99.9 dB  %3d px (\"Peak: -119.9 dB\")\n",
                measureFor(c.args[2]).width("Peak: -119.9 dB", skin.fonts.at(c.args[2]).size));
}

TEST_F(ResourceFonts, InformationLinesFitWithTheirLongestValues) {
    // Host names are budgeted at 20 characters of ordinary text.
    const std::vector<std::string> hosts = {"Unknown", "Example Audio Host 9", "Studio Workstation 2",
                                            "Digital Audio Works"};
    int lines = 0;
    for (const SkinControl& c : skin.controls) {
        if (c.type != "ZLabel" || c.page != 2) continue;
        ASSERT_GE(c.args.size(), 3u);
        std::vector<std::string> texts;
        for (const char* platform : {"Linux32", "Linux64"})
            for (const char* rate : {"8000", "44100", "96000", "192000"})
                for (const char* ch : {"1", "2"})
                    for (const std::string& host : hosts)
                        texts.push_back(expand(c.args[1], {{"PlugVer", "3.1"},
                                                           {"PlugBuild", "3.1"},
                                                           {"Platform", platform},
                                                           {"BuildDate", QOLM_BUILD_DATE},
                                                           {"SRate", rate},
                                                           {"Inputs", ch},
                                                           {"Outputs", ch},
                                                           {"HostName", host}}));
        std::string which;
        const int w = widest(c.args[2], texts, &which);
        std::printf("info    %3d px of %d (\"%s\")\n", w, c.width, which.c_str());
        EXPECT_LE(w, c.width) << which;
        EXPECT_EQ(which.find("${"), std::string::npos);
        ++lines;
    }
    EXPECT_EQ(lines, 4);
}
