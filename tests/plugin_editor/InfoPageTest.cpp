// The information page: the INFO and MAIN tabs under the pointer, and the
// four text lines with the variables the plug-in fills in. The texts are
// checked against a reference drawn in-process from the same skin with the
// expected texts written out (ReferenceEditor.h), and, for the host line,
// by how its picture changes with the host's product name and sample rate.
#include "Fixture.h"
#include "QolmVersion.h"
#include "ReferenceEditor.h"

using namespace e2e;

namespace {

const char* platformName() { return sizeof(void*) == 4 ? "Linux32" : "Linux64"; }

// The embedded skin with the lines' variables replaced by what they should
// expand to for this host.
std::string expandedSkin(const std::string& rate, const std::string& product, std::string* problem) {
    return embeddedSkinWith(
        {
            {"\"VRAX Qolm ${PlugVer} ~ High-pass filter\"", "\"VRAX Qolm 3.1 ~ High-pass filter\""},
            {"\"Build ~ ${PlugBuild} ~ ${Platform} ~ ${BuildDate}\"",
             std::string("\"Build ~ 3.1 ~ ") + platformName() + " ~ " QOLM_BUILD_DATE "\""},
            {"\"${SRate} Hz ~ ${Inputs}x${Outputs} ~ ${HostName}\"", "\"" + rate + " Hz ~ 2x2 ~ " + product + "\""},
        },
        problem);
}

// Pixels that differ outside the area.
int differingOutside(const Picture& a, const Picture& b, const Area& area) {
    if (a.width != b.width || a.height != b.height || a.empty()) return -1;
    int count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const bool inside = x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
            if (!inside && !edtest::near(a.at(x, y), b.at(x, y), 0)) ++count;
        }
    return count;
}

const Area kHostLine = kInfoLines[3];
// Where the main page has its knobs and the information page its texts.
constexpr Area kPanel{20, 60, 245, 112};

}  // namespace

TEST_F(EditorE2E, InfoTabShowsTheInformationPageWithItsTextsExpanded) {
    const std::string product = "Qolm E2E Host";
    std::string problem;
    const std::string script = expandedSkin("44100", product, &problem);
    ASSERT_FALSE(script.empty()) << problem;
    const Picture expected = renderReference(display, background, *pointer, script, 2, &problem);
    ASSERT_FALSE(expected.empty()) << problem;

    EditorSession* s = openEditor(product);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->waitForStill());
    const Picture mainPage = s->shot();

    clickAt(*s, kInfoTab.centreX(), kInfoTab.centreY());
    ASSERT_TRUE(s->waitForPage(2)) << "the INFO tab did not show the information page";
    const bool asExpected = s->waitUntil([&] { return differingPixels(s->shot(), expected) == 0; });
    const Picture shown = s->shot();
    EXPECT_TRUE(asExpected) << differingPixels(shown, expected) << " pixels differ from the reference";
    const char* lines[4] = {"the title line", "the build line", "the notice", "the host line"};
    for (int i = 0; i < 4; ++i) {
        const Area& line = kInfoLines[i];
        EXPECT_GT(inkPixels(shown, background, 1, line), 100) << lines[i] << " shows no text";
        EXPECT_EQ(differingPixels(crop(shown, line), crop(expected, line)), 0) << lines[i] << " has another text";
    }
    EXPECT_GT(differingPixels(crop(shown, kPanel), crop(mainPage, kPanel)), kPanel.w * kPanel.h / 2)
        << "the panel still looks like the main page";

    clickAt(*s, kMainTab.centreX(), kMainTab.centreY());
    ASSERT_TRUE(s->waitForPage(1)) << "the MAIN tab did not bring the main page back";
    EXPECT_TRUE(s->waitUntil([&] { return differingPixels(s->shot(), mainPage) == 0; }))
        << "the main page does not look as it did";
}

TEST_F(EditorE2E, TheHostLineFollowsTheHostsNameAndSampleRate) {
    std::string problem;
    const std::string at44 = expandedSkin("44100", "Host", &problem);
    ASSERT_FALSE(at44.empty()) << problem;
    const std::string at96 = expandedSkin("96000", "Host", &problem);
    ASSERT_FALSE(at96.empty()) << problem;
    const Picture expected44 = renderReference(display, background, *pointer, at44, 2, &problem);
    ASSERT_FALSE(expected44.empty()) << problem;
    const Picture expected96 = renderReference(display, background, *pointer, at96, 2, &problem);
    ASSERT_FALSE(expected96.empty()) << problem;
    ASSERT_GT(differingPixels(crop(expected44, kHostLine), crop(expected96, kHostLine)), 0);

    // A host called "Host": the line as expected, and again after the host
    // changes the rate (a page change draws the line afresh, without the
    // 15 s the line otherwise waits between expansions).
    EditorSession* first = openEditor("Host");
    ASSERT_NE(first, nullptr);
    clickAt(*first, kInfoTab.centreX(), kInfoTab.centreY());
    ASSERT_TRUE(first->waitUntil([&] { return differingPixels(first->shot(), expected44) == 0; }))
        << differingPixels(first->shot(), expected44) << " pixels differ from the reference";
    const int shortEdge = inkRightEdge(first->shot(), background, 1, kHostLine);
    first->host->dispatch(effMainsChanged, 0, 0);
    first->host->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    first->host->dispatch(effMainsChanged, 0, 1);
    clickAt(*first, kMainTab.centreX(), kMainTab.centreY());
    ASSERT_TRUE(first->waitForPage(1));
    clickAt(*first, kInfoTab.centreX(), kInfoTab.centreY());
    EXPECT_TRUE(first->waitUntil([&] { return differingPixels(first->shot(), expected96) == 0; }))
        << differingPixels(first->shot(), expected96) << " pixels differ from the reference at 96000 Hz";
    sessions.clear();

    // Another host name changes that line only, and makes it longer.
    EditorSession* second = openEditor("AnotherHostName");
    ASSERT_NE(second, nullptr);
    clickAt(*second, kInfoTab.centreX(), kInfoTab.centreY());
    ASSERT_TRUE(second->waitForPage(2));
    EXPECT_TRUE(second->waitUntil([&] { return differingOutside(second->shot(), expected44, kHostLine) == 0; }))
        << "the page differs from the reference outside the host line";
    const Picture shown = second->shot();
    EXPECT_GT(differingPixels(crop(shown, kHostLine), crop(expected44, kHostLine)), 0);
    EXPECT_GT(inkRightEdge(shown, background, 1, kHostLine), shortEdge + 40)
        << "the line does not end further right with the longer name";
}
