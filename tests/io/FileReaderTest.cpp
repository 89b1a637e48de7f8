#include "io/FileReader.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

TEST(FileReaderTest, ReadsAFileInPiecesAndReportsItsSize) {
    TempFile file("pieces.bin");
    file.write(std::string("ab\0cd\r\nef", 9));
    XP::FileReader reader(file.path());
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.getSize(), 9);
    char buffer[16] = {};
    EXPECT_EQ(reader.read(buffer, 4), 4);
    EXPECT_EQ(std::memcmp(buffer, "ab\0c", 4), 0);
    EXPECT_EQ(reader.read(buffer, 16), 5);
    EXPECT_EQ(std::memcmp(buffer, "d\r\nef", 5), 0);
    EXPECT_EQ(reader.read(buffer, 16), 0);
    EXPECT_EQ(reader.read(buffer, 16), 0);
}

TEST(FileReaderTest, MissingFilesAndDirectoriesDoNotOpen) {
    char buffer[4];
    XP::FileReader missing("/nonexistent/qolm/file.txt");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.getSize(), 0);
    EXPECT_EQ(missing.read(buffer, 4), 0);
    XP::FileReader folder("/tmp");
    EXPECT_FALSE(folder.isOpen());
    XP::FileReader none(nullptr);
    EXPECT_FALSE(none.isOpen());
}

TEST(FileReaderTest, OpenReplacesTheFileAlreadyOpen) {
    TempFile first("first.txt");
    TempFile second("second.txt");
    first.write("11111");
    second.write("22");
    XP::FileReader reader(first.path());
    char buffer[8] = {};
    ASSERT_EQ(reader.read(buffer, 2), 2);
    ASSERT_TRUE(reader.open(second.path()));
    EXPECT_EQ(reader.getSize(), 2);
    EXPECT_EQ(reader.read(buffer, 8), 2);
    EXPECT_EQ(std::memcmp(buffer, "22", 2), 0);
    EXPECT_FALSE(reader.open("/nonexistent/qolm"));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.getSize(), 0);
}

TEST(FileReaderTest, FilesBeyondThe32BitSizeAreRefused) {
    TempFile file("huge.bin");
    file.write("");
    // Sparse: takes no room on the disk.
    std::error_code error;
    std::filesystem::resize_file(file.path(), 2147483648ULL, error);
    ASSERT_FALSE(error) << error.message();
    XP::FileReader reader(file.path());
    EXPECT_FALSE(reader.isOpen());
    int32_t size = 99;
    EXPECT_EQ(XP::FileReader::readWholeFile(file.path(), &size), nullptr);
    EXPECT_EQ(size, 0);
}

TEST(FileReaderWhole, ReturnsExactlyTheFile) {
    TempFile file("whole.bin");
    const std::string bytes = std::string(5000, 'z') + std::string("\0\x01\xff", 3);
    file.write(bytes);
    int32_t size = 0;
    std::unique_ptr<unsigned char[]> data(XP::FileReader::readWholeFile(file.path(), &size));
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(std::memcmp(data.get(), bytes.data(), bytes.size()), 0);
}

TEST(FileReaderWhole, EmptyOrMissingGivesNullAndSizeZero) {
    TempFile file("empty.bin");
    file.write("");
    int32_t size = 77;
    EXPECT_EQ(XP::FileReader::readWholeFile(file.path(), &size), nullptr);
    EXPECT_EQ(size, 0);
    size = 77;
    EXPECT_EQ(XP::FileReader::readWholeFile("/nonexistent/qolm", &size), nullptr);
    EXPECT_EQ(size, 0);
}

}  // namespace
