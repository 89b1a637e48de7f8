// The queue that carries the controls' reports to the host's own thread.
#include "SkinTestSupport.h"

#include "controls/ZEditReports.h"

#include <gtest/gtest.h>

namespace {

using qtest::automate;
using qtest::beginEdit;
using qtest::endEdit;
using skintest::RecordingHost;
using skintest::TestEffect;
using VRAX::ZEditReports;

// What a host's idle collects: each parameter's newest value only, in its
// place (Audacity could apply an older value of one call after the newest).
// The window thread, delivering as events come, tells every value.
TEST(EditReports, AnIdleTellsEachParametersNewestValueInOrder) {
    RecordingHost host;
    TestEffect effect(&RecordingHost::callback);
    ZEditReports reports(&effect);

    const auto post = [&] {
        // A click to the default: the value before it, then the default.
        reports.post(audioMasterBeginEdit, 1);
        reports.post(audioMasterAutomate, 1, 0.4f);
        reports.post(audioMasterAutomate, 1, 0.0f);
        reports.post(audioMasterEndEdit, 1);
        // Two parameters moving in one burst.
        reports.post(audioMasterAutomate, 2, 0.1f);
        reports.post(audioMasterAutomate, 0, 0.7f);
        reports.post(audioMasterAutomate, 2, 0.2f);
    };
    post();
    ASSERT_TRUE(reports.deliver());
    EXPECT_EQ(host.calls, (std::vector<qtest::EditCall>{beginEdit(1), automate(1, 0.4f), automate(1, 0.0f),
                                                       endEdit(1), automate(2, 0.1f), automate(0, 0.7f),
                                                       automate(2, 0.2f)}));

    host.calls.clear();
    post();
    EXPECT_TRUE(reports.pending());
    ASSERT_TRUE(reports.deliver(true));
    EXPECT_FALSE(reports.pending());
    EXPECT_EQ(host.calls, (std::vector<qtest::EditCall>{beginEdit(1), automate(1, 0.0f), endEdit(1),
                                                       automate(0, 0.7f), automate(2, 0.2f)}));

    // Each delivery tells its own newest values: values of earlier calls
    // are not held back.
    host.calls.clear();
    reports.post(audioMasterAutomate, 2, 0.3f);
    ASSERT_TRUE(reports.deliver(true));
    reports.post(audioMasterAutomate, 2, 0.4f);
    ASSERT_TRUE(reports.deliver(true));
    EXPECT_EQ(host.calls, (std::vector<qtest::EditCall>{automate(2, 0.3f), automate(2, 0.4f)}));
}

}  // namespace
