#include "io/FileWriter.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FileWriterLines, EndInCrLfAndCarryTheIndentation) {
    TempFile file("lines.txt");
    XP::FileWriter writer;
    ASSERT_TRUE(writer.open(file.path()));
    EXPECT_TRUE(writer.writeLine("Begin"));
    writer.indent(2);
    EXPECT_TRUE(writer.writeLine("inner"));
    writer.indent(1);
    EXPECT_TRUE(writer.writeLine(""));
    writer.outdent(5);
    EXPECT_TRUE(writer.writeLine(nullptr));
    EXPECT_TRUE(writer.writeLine("End"));
    EXPECT_EQ(writer.getLineCount(), 5);
    // Each line is flushed as it is written.
    EXPECT_EQ(file.read(), "Begin\r\n  inner\r\n   \r\n\r\nEnd\r\n");
}

TEST(FileWriterLines, SourceInsertFollowsTheText) {
    TempFile file("source.txt");
    XP::FileWriter writer;
    ASSERT_TRUE(writer.open(file.path()));
    writer.indent(1);
    EXPECT_TRUE(writer.writeLineWithSource("Bad token", "QolmSkin.txt", 12));
    EXPECT_TRUE(writer.writeLineWithSource("x", nullptr, -3));
    writer.close();
    EXPECT_EQ(file.read(), " Bad token \"QolmSkin.txt, line 12\"\r\n x \", line -3\"\r\n");
}

TEST(FileWriterLines, SourceInsertIsCutAt1023Characters) {
    TempFile file("cut.txt");
    XP::FileWriter writer;
    ASSERT_TRUE(writer.open(file.path()));
    const std::string source(2000, 's');
    EXPECT_TRUE(writer.writeLineWithSource("t", source.c_str(), 1));
    writer.close();
    EXPECT_EQ(file.read(), "t \"" + std::string(1021, 's') + "\r\n");
}

TEST(FileWriterIndent, StaysWithin0And1023) {
    XP::FileWriter writer;
    writer.indent(2000);
    EXPECT_EQ(writer.getIndent(), 1023);
    writer.indent(INT32_MAX);
    EXPECT_EQ(writer.getIndent(), 1023);
    writer.outdent(23);
    EXPECT_EQ(writer.getIndent(), 1000);
    writer.outdent(INT32_MAX);
    EXPECT_EQ(writer.getIndent(), 0);
    writer.indent(-5);
    EXPECT_EQ(writer.getIndent(), 0);

    TempFile file("deep.txt");
    ASSERT_TRUE(writer.open(file.path()));
    writer.indent(5000);
    EXPECT_TRUE(writer.writeLine("d"));
    writer.close();
    EXPECT_EQ(file.read(), std::string(1023, ' ') + "d\r\n");
}

TEST(FileWriterState, NothingIsWrittenWithoutAnOpenFile) {
    XP::FileWriter writer;
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.writeLine("a"));
    EXPECT_FALSE(writer.writeLineWithSource("a", "f", 1));
    EXPECT_FALSE(writer.open("/nonexistent/qolm/out.txt"));
    EXPECT_FALSE(writer.open(nullptr));
    EXPECT_FALSE(writer.writeLine("a"));
    EXPECT_EQ(writer.getLineCount(), 0);
}

TEST(FileWriterState, OpenReplacesContentAndResetsCounts) {
    TempFile file("reopen.txt");
    file.write("old content that is longer");
    XP::FileWriter writer;
    ASSERT_TRUE(writer.open(file.path()));
    writer.indent(4);
    EXPECT_TRUE(writer.writeLine("one"));
    ASSERT_TRUE(writer.open(file.path()));
    EXPECT_EQ(writer.getLineCount(), 0);
    EXPECT_EQ(writer.getIndent(), 0);
    EXPECT_TRUE(writer.writeLine("two"));
    writer.close();
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.writeLine("three"));
    EXPECT_EQ(file.read(), "two\r\n");
}

TEST(FileWriterState, StopsAtTheLineLimit) {
    XP::FileWriter writer;
    ASSERT_TRUE(writer.open("/dev/null"));
    for (int32_t i = 0; i < XP::FileWriter::kMaxLines; ++i) ASSERT_TRUE(writer.writeLine("x")) << i;
    EXPECT_FALSE(writer.writeLine("x"));
    EXPECT_FALSE(writer.writeLineWithSource("x", "f", 1));
    EXPECT_EQ(writer.getLineCount(), XP::FileWriter::kMaxLines);
}

TEST(FileWriterState, AFullDiskIsReportedAsFailure) {
    XP::FileWriter writer;
    if (!writer.open("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(writer.writeLine("lost"));
}

}  // namespace
