// Features, commands and the history value type.
#include "framework/ZEffectCommand.h"
#include "framework/ZEffectFeature.h"
#include "framework/ZHistory.h"

#include <gtest/gtest.h>

using namespace VRAX;

namespace {

TEST(Features, TypedFeatureReportsItsValueType) {
    double level = 0.25;
    ZTypedFeature<double> feature("Peak", &level);
    EXPECT_EQ(feature.typeId(), typeIdOf<double>());
    EXPECT_NE(feature.typeId(), typeIdOf<ZTypedFeature<double>>());
    EXPECT_FALSE(feature.isType(typeIdOf<int32_t>()));
    EXPECT_EQ(feature.valueAddress(), &level);
    ZHistory history;
    EXPECT_TRUE(ZTypedFeature<ZHistory>("Wave", &history).isType(typeIdOf<ZHistory>()));
}

struct CountedCommand : ZEffectCommand {
    CountedCommand(const char* name, int32_t index, int* destroyed)
        : ZEffectCommand(name, index), destroyed(destroyed) {}
    ~CountedCommand() override { ++*destroyed; }
    int* destroyed;
};

TEST(Commands, ManagerOwnsItsCommandsAndFindsThemByName) {
    int destroyed = 0;
    {
        ZCommandMgr commands;
        commands.add(new CountedCommand("PeakReset", 0, &destroyed));
        commands.add(nullptr);
        commands.add(new CountedCommand("Other", 7, &destroyed));
        ASSERT_NE(findByName(commands, "Other"), nullptr);
        EXPECT_EQ(findByName(commands, "Other")->index, 7);
        EXPECT_EQ(findByName(commands, "peakreset"), nullptr);
        EXPECT_EQ(findByName(commands, nullptr), nullptr);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(History, ColumnsHoldTheExtremesOfEachSpan) {
    ZHistory history;
    // 100 columns over 0.5 s at 1000 Hz: 5 samples per column.
    ASSERT_TRUE(history.setSize(100, 1000, 0.5));
    EXPECT_EQ(history.getSamplesPerColumn(), 5);
    const int32_t version = history.getVersion();
    for (double s : {0.1, -0.4, 0.3, 0.2}) history.write(s, -s);
    EXPECT_EQ(history.getVersion(), version);
    history.write(0.0, 0.0);
    EXPECT_EQ(history.getVersion(), version + 1);
    const ZHistory::Column c = history.getColumn(0);
    EXPECT_EQ(c.min1, -0.4);
    EXPECT_EQ(c.max1, 0.3);
    EXPECT_EQ(c.min2, -0.3);
    EXPECT_EQ(c.max2, 0.4);
    // The next column starts afresh.
    for (int i = 0; i < 5; ++i) history.write(0.9, 0.9);
    EXPECT_EQ(history.getColumn(0).min1, 0.9);
    EXPECT_EQ(history.getColumn(1).max1, 0.3);
}

TEST(History, RingWrapsAndStaysInside) {
    ZHistory history;
    ASSERT_TRUE(history.setSize(3, 3, 1));  // one sample per column
    for (int i = 1; i <= 4; ++i) history.write(i, 0);
    EXPECT_EQ(history.getColumn(0).max1, 4);
    EXPECT_EQ(history.getColumn(1).max1, 3);
    EXPECT_EQ(history.getColumn(2).max1, 2);
    EXPECT_EQ(history.getColumn(3).max1, 0);
    EXPECT_EQ(history.getColumn(-1).max1, 0);
    const int32_t version = history.getVersion();
    history.clear();
    EXPECT_GT(history.getVersion(), version);
    EXPECT_EQ(history.getColumn(2).max1, 0);
    ZHistory empty;
    EXPECT_FALSE(empty.setSize(0, 1, 1));
    empty.write(1, 1);
    EXPECT_EQ(empty.getColumn(0).max1, 0);
}

}  // namespace
