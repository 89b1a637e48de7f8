// The files the build embeds in the plug-in: all there, in their order, with
// exactly the bytes of their sources.
#include "io/EmbeddedFile.h"
#include "io/FileReader.h"

#include "EmbeddedExpectations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(EmbeddedResources, TheTwelveFilesAndTheImagesHiDpiTwinsInTheirOrder) {
    const char* const expected[] = {
        "Dial060.png", "Donate85x30.png", "ZFont1.ttf", "Qolm.png",
        "QolmPreset.txt", "QolmSkin.txt", "QolmTitle.png", "ZSans.ttf",
        "RedLed.png", "TabTopInfo50x20.png", "TabTopMain50x20.png", "ValBg60x15.png",
        "Dial060@2x.png", "Donate85x30@2x.png", "Qolm@2x.png", "QolmTitle@2x.png",
        "RedLed@2x.png", "TabTopInfo50x20@2x.png", "TabTopMain50x20@2x.png", "ValBg60x15@2x.png"};
    constexpr int32_t kCount = sizeof expected / sizeof expected[0];
    ASSERT_EQ(embeddedFileCount(), kCount);
    for (int32_t i = 0; i < kCount; ++i) {
        ASSERT_NE(embeddedFileAt(i), nullptr);
        EXPECT_STREQ(embeddedFileAt(i)->name, expected[i]) << i;
    }
    // The table grows sixteen entries at a time.
    EXPECT_EQ(embeddedTableCapacity(), 32);
}

TEST(EmbeddedResources, BytesAndSizesMatchTheSourceFiles) {
    ASSERT_EQ(sizeof kEmbeddedSources / sizeof kEmbeddedSources[0], 20u);
    for (const EmbeddedSource& source : kEmbeddedSources) {
        SCOPED_TRACE(source.name);
        int32_t onDisk = 0;
        std::unique_ptr<unsigned char[]> bytes(XP::FileReader::readWholeFile(source.path, &onDisk));
        ASSERT_NE(bytes, nullptr) << source.path;
        int32_t size = -1;
        const unsigned char* data = findEmbeddedFile(source.name, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(size, onDisk);
        EXPECT_EQ(std::memcmp(data, bytes.get(), static_cast<size_t>(size)), 0);
    }
}

TEST(EmbeddedResources, KindsMatchTheNames) {
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int32_t i = 0; i < embeddedFileCount(); ++i) {
        const EmbeddedFile* file = embeddedFileAt(i);
        const std::string name = file->name;
        SCOPED_TRACE(name);
        const std::string kind = name.substr(name.size() - 4);
        if (kind == ".png") {
            ASSERT_GE(file->size, 8);
            EXPECT_EQ(std::memcmp(file->data, kPng, 8), 0);
        } else if (kind == ".ttf") {
            ASSERT_GE(file->size, 4);
            const bool trueType = std::memcmp(file->data, "\0\1\0\0", 4) == 0 || std::memcmp(file->data, "true", 4) == 0;
            EXPECT_TRUE(trueType);
        } else {
            EXPECT_EQ(kind, ".txt");
            // Text is plain bytes: nothing added at the end.
            ASSERT_GT(file->size, 0);
            EXPECT_NE(file->data[file->size - 1], 0);
        }
    }
}

TEST(EmbeddedResources, SkinScriptIsFoundWhateverTheCase) {
    int32_t exact = -1;
    int32_t other = -1;
    const unsigned char* skin = findEmbeddedFile("QolmSkin.txt", &exact);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(findEmbeddedFile("qolmskin.TXT", &other), skin);
    EXPECT_EQ(other, exact);
    EXPECT_GT(exact, 0);
    int32_t untouched = 5;
    EXPECT_EQ(findEmbeddedFile("QolmSkin.txt.bak", &untouched), nullptr);
    EXPECT_EQ(untouched, 5);
}

}  // namespace
