#include "io/EmbeddedFile.h"
#include "io/ResourceReader.h"
#include "io/TokenReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Records must outlive the table, like the generated ones.
const unsigned char kSkinBytes[] = {'A', 'b', '\r', '\n', 'C'};  // no terminating zero
EmbeddedFile gSkin = {"TestSkin.txt", 5, kSkinBytes};

void registerSkinOnce() {
    static bool done = false;
    if (!done) registerEmbeddedFile(&gSkin);
    done = true;
}

TEST(EmbeddedTable, LookupIgnoresCaseAndReportsTheSize) {
    registerSkinOnce();
    int32_t size = -1;
    EXPECT_EQ(findEmbeddedFile("testSKIN.TXT", &size), kSkinBytes);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(findEmbeddedFile("TestSkin.txt"), kSkinBytes);
}

TEST(EmbeddedTable, MissingNameLeavesTheSizeUntouched) {
    registerSkinOnce();
    int32_t size = 1234;
    EXPECT_EQ(findEmbeddedFile("TestSkin.tx", &size), nullptr);
    EXPECT_EQ(findEmbeddedFile("TestSkin.txt2", &size), nullptr);
    EXPECT_EQ(findEmbeddedFile("", &size), nullptr);
    EXPECT_EQ(findEmbeddedFile(nullptr, &size), nullptr);
    EXPECT_EQ(size, 1234);
}

TEST(EmbeddedTable, FirstMatchInRegistrationOrderWins) {
    static const unsigned char first[] = {1};
    static const unsigned char second[] = {2, 2};
    static EmbeddedFile a = {"Twice.bin", 1, first};
    static EmbeddedFile b = {"TWICE.BIN", 2, second};
    registerEmbeddedFile(&a);
    registerEmbeddedFile(&b);
    int32_t size = 0;
    EXPECT_EQ(findEmbeddedFile("twice.bin", &size), first);
    EXPECT_EQ(size, 1);
}

TEST(EmbeddedTable, UnusableRecordsAreNotRegistered) {
    static const unsigned char bytes[] = {1};
    static EmbeddedFile noName = {nullptr, 1, bytes};
    static EmbeddedFile negative = {"Negative.bin", -1, bytes};
    static EmbeddedFile noData = {"NoData.bin", 4, nullptr};
    const int32_t before = embeddedFileCount();
    registerEmbeddedFile(nullptr);
    registerEmbeddedFile(&noName);
    registerEmbeddedFile(&negative);
    registerEmbeddedFile(&noData);
    EXPECT_EQ(embeddedFileCount(), before);
    EXPECT_EQ(findEmbeddedFile("NoData.bin"), nullptr);
}

TEST(EmbeddedTable, GrowsBySixteenAndKeepsTheOrder) {
    static const unsigned char bytes[] = {7};
    static char names[40][16];
    static EmbeddedFile records[40];
    const int32_t start = embeddedFileCount();
    for (int i = 0; i < 40; ++i) {
        std::snprintf(names[i], sizeof names[i], "Grow%02d.bin", i);
        records[i] = {names[i], 1, bytes};
        registerEmbeddedFile(&records[i]);
        const int32_t count = embeddedFileCount();
        ASSERT_EQ(count, start + i + 1);
        EXPECT_EQ(embeddedTableCapacity(), (count + 15) / 16 * 16) << count;
    }
    for (int i = 0; i < 40; ++i) EXPECT_EQ(embeddedFileAt(start + i), &records[i]);
    EXPECT_EQ(embeddedFileAt(-1), nullptr);
    EXPECT_EQ(embeddedFileAt(embeddedFileCount()), nullptr);
}

TEST(EmbeddedDataHolder, LoadFindsOrClears) {
    registerSkinOnce();
    EmbeddedData holder;
    holder.load("TESTSKIN.txt");
    EXPECT_EQ(holder.data, kSkinBytes);
    EXPECT_EQ(holder.size, 5);
    EXPECT_FALSE(holder.owned);
    holder.load("Missing.png");
    EXPECT_EQ(holder.data, nullptr);
    EXPECT_EQ(holder.size, 0);
    holder.load(nullptr);
    EXPECT_EQ(holder.data, nullptr);
}

TEST(EmbeddedDataHolder, OwnedDataIsFreedOnLoad) {
    registerSkinOnce();
    EmbeddedData holder;
    holder.data = new unsigned char[10];  // the leak checker of the sanitizer build sees a miss
    holder.size = 10;
    holder.owned = true;
    holder.load("TestSkin.txt");
    EXPECT_FALSE(holder.owned);
    EXPECT_EQ(holder.data, kSkinBytes);
}

TEST(ResourceReaderTest, ReadsTheFileInPieces) {
    registerSkinOnce();
    XP::ResourceReader reader("testskin.TXT");
    ASSERT_TRUE(reader.isOpen());
    unsigned char buffer[8] = {};
    EXPECT_EQ(reader.read(buffer, 3), 3);
    EXPECT_EQ(std::memcmp(buffer, "Ab\r", 3), 0);
    EXPECT_EQ(reader.read(buffer, 0), 0);
    EXPECT_EQ(reader.read(nullptr, 3), 0);
    EXPECT_EQ(reader.read(buffer, 8), 2);
    EXPECT_EQ(std::memcmp(buffer, "\nC", 2), 0);
    EXPECT_EQ(reader.read(buffer, 8), 0);
}

TEST(ResourceReaderTest, EmptyOrMissingFilesCannotBeOpened) {
    static const unsigned char nothing[1] = {0};
    static EmbeddedFile empty = {"Empty.txt", 0, nothing};
    registerEmbeddedFile(&empty);
    ASSERT_EQ(findEmbeddedFile("Empty.txt"), nothing);
    unsigned char buffer[4];
    XP::ResourceReader reader("Empty.txt");
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.read(buffer, 4), 0);
    XP::ResourceReader missing("NotThere.txt");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.read(buffer, 4), 0);
}

TEST(ResourceReaderTest, ReopeningAMissingNameCloses) {
    registerSkinOnce();
    XP::ResourceReader reader;
    EXPECT_FALSE(reader.isOpen());
    ASSERT_TRUE(reader.open("TestSkin.txt"));
    EXPECT_FALSE(reader.open("NotThere.txt"));
    EXPECT_FALSE(reader.isOpen());
    unsigned char buffer[4];
    EXPECT_EQ(reader.read(buffer, 4), 0);
    ASSERT_TRUE(reader.open("TestSkin.txt"));
    EXPECT_EQ(reader.read(buffer, 4), 4);
}

TEST(ResourceReaderTest, TokenReaderReadsAnEmbeddedTextWithoutATerminatingZero) {
    registerSkinOnce();
    XP::ResourceReader source("TestSkin.txt");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_STREQ(reader.token(0), "Ab");
    ASSERT_TRUE(reader.readLine());
    EXPECT_STREQ(reader.token(0), "C");
    EXPECT_FALSE(reader.readLine());
}

}  // namespace
