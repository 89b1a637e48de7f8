// XP::LineReader over arbitrary bytes, buffer sizes and read sizes, compared
// line by line with a direct model of its rules: a line runs to the first CR
// or LF or until it holds size - 2 characters, then every CR and LF that
// follows is skipped; the input ending anywhere ends the last line.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "io/LineReader.h"
#include "io/MemoryReader.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qolmfuzz {

namespace {

bool isBreak(char c) { return c == '\r' || c == '\n'; }

std::vector<std::string> modelLines(const std::string& text, size_t limit) {
    std::vector<std::string> lines;
    size_t i = 0;
    const size_t n = text.size();
    if (n == 0) return lines;
    for (;;) {
        const size_t start = i;
        while (i < n && !isBreak(text[i]) && i - start < limit) ++i;
        lines.push_back(text.substr(start, i - start));
        if (i >= n) break;
        while (i < n && isBreak(text[i])) ++i;
        if (i >= n) break;
    }
    return lines;
}

// Copies what it is asked for but claims up to `extra` bytes more, as a
// broken source might; the line reader must stay inside its chunk.
class OverclaimingReader : public XP::InputReader {
public:
    OverclaimingReader(std::string bytes, int32_t extra) : data(std::move(bytes)), extra(extra) {}
    bool isOpen() const override { return true; }
    int32_t read(void* destination, int32_t n) override {
        if (n <= 0 || position >= data.size()) return 0;
        const size_t count = std::min(static_cast<size_t>(n), data.size() - position);
        std::memcpy(destination, data.data() + position, count);
        position += count;
        const int64_t claimed = static_cast<int64_t>(count) + extra;
        return claimed > INT32_MAX ? INT32_MAX : static_cast<int32_t>(claimed);
    }

private:
    std::string data;
    size_t position = 0;
    int32_t extra;
};

}  // namespace

int fuzzLineReader(const uint8_t* data, size_t size) {
    InputBytes input(data, size);
    const int32_t lineSize = static_cast<int32_t>(input.u16() % 600);
    const int32_t perRead = static_cast<int32_t>(1 + input.u16() % 4096);
    const uint8_t mode = input.byte();
    const std::string text(reinterpret_cast<const char*>(input.rest()), input.restSize());

    // Exactly the size given, so any write past it is caught.
    std::unique_ptr<char[]> buffer(lineSize > 0 ? new char[static_cast<size_t>(lineSize)] : nullptr);

    switch (mode % 8) {
        case 0: {  // closed source: no line at all
            MemoryReader closed(text, perRead, false);
            XP::LineReader lines(&closed);
            FUZZ_CHECK(!lines.readLine(buffer.get(), lineSize));
            return 0;
        }
        case 1: {  // no source
            XP::LineReader lines(nullptr);
            FUZZ_CHECK(!lines.readLine(buffer.get(), lineSize));
            return 0;
        }
        case 2: {  // a source that claims more than it delivers
            OverclaimingReader liar(text, static_cast<int32_t>(input.u16()) << (mode >> 4));
            XP::LineReader lines(&liar);
            // Each read may now fill the whole chunk with what was there.
            const size_t most = (text.size() + 1) * static_cast<size_t>(XP::LineReader::kChunkSize) + 1;
            size_t count = 0;
            while (lines.readLine(buffer.get(), lineSize)) {
                FUZZ_CHECK(++count <= most);
                FUZZ_CHECK(buffer[static_cast<size_t>(lineSize - 1)] == 0);
            }
            return 0;
        }
        default:
            break;
    }

    MemoryReader source(text, perRead);
    XP::LineReader lines;
    lines.attach(&source);
    if (lineSize < 3) {
        FUZZ_CHECK(!lines.readLine(buffer.get(), lineSize));
        return 0;
    }
    const std::vector<std::string> expected = modelLines(text, static_cast<size_t>(lineSize - 2));
    size_t count = 0;
    while (lines.readLine(buffer.get(), lineSize)) {
        FUZZ_CHECK(count < expected.size());
        const std::string& line = expected[count++];
        FUZZ_CHECK(line.size() <= static_cast<size_t>(lineSize - 2));
        FUZZ_CHECK(std::memcmp(buffer.get(), line.data(), line.size()) == 0);
        for (size_t i = line.size(); i < static_cast<size_t>(lineSize); ++i) FUZZ_CHECK(buffer[i] == 0);
    }
    FUZZ_CHECK(count == expected.size());
    // The end stays the end.
    FUZZ_CHECK(!lines.readLine(buffer.get(), lineSize));
    // Set up again: detached, so nothing more.
    lines.setUp();
    FUZZ_CHECK(!lines.readLine(buffer.get(), lineSize));
    return 0;
}

}  // namespace qolmfuzz
