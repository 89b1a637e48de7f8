// Every seed and every input that once made a fuzz target fail, run again
// through the same entry function. A failed check inside a target aborts
// the test with the input's name.
#include "targets/FuzzSupport.h"
#include "targets/FuzzTargets.h"

#include "dsp/ZFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qolmfuzz {
// Test names and messages show the target's name, not its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }
}  // namespace qolmfuzz

namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = fs::path(QOLM_SOURCE_DIR) / "tests" / "fuzz";

std::vector<fs::path> inputsIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<unsigned char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Exactly the file's bytes on the heap, so a read past them is caught by
// the sanitizer build as it would be under libFuzzer.
int runOne(const qolmfuzz::FuzzTarget& target, const fs::path& path) {
    const std::vector<unsigned char> bytes = readFile(path);
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
    const std::string name = path.string();
    qolmfuzz::currentInput = name.c_str();
    const int result = target.run(exact.get(), bytes.size());
    qolmfuzz::currentInput = nullptr;
    return result;
}

class FuzzReplay : public ::testing::TestWithParam<qolmfuzz::FuzzTarget> {};

TEST_P(FuzzReplay, SeedCorpusAndKeptCrashes) {
    const qolmfuzz::FuzzTarget& target = GetParam();
    const std::vector<fs::path> seeds = inputsIn(kFuzzDir / "corpus" / target.name);
    ASSERT_GE(seeds.size(), 3u) << "seed corpus of " << target.name << " is missing";
    const std::vector<fs::path> crashes = inputsIn(kFuzzDir / "regressions" / target.name);
    for (const fs::path& path : seeds) EXPECT_EQ(runOne(target, path), 0) << path;
    for (const fs::path& path : crashes) EXPECT_EQ(runOne(target, path), 0) << path;
    // The empty input reaches every early exit.
    EXPECT_EQ(target.run(reinterpret_cast<const uint8_t*>(""), 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(qolmfuzz::kFuzzTargets),
                         [](const ::testing::TestParamInfo<qolmfuzz::FuzzTarget>& info) {
                             return std::string(info.param.name);
                         });

// The chunk seeds are meant to start from what a host really stores: if the
// bank's layout or the factory presets change, they must be made again
// (tests/fuzz/README.md says how).
TEST(FuzzSeeds, FactoryBankSeedIsWhatGetChunkGives) {
    VRAX::ZFilter effect(qolmfuzz::hostCallback);
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, false);
    ASSERT_EQ(size, 490);
    const std::vector<unsigned char> seed = readFile(kFuzzDir / "corpus" / "chunk" / "bank-490-factory");
    ASSERT_EQ(seed.size(), 2u + 490u);
    EXPECT_EQ(seed[0], 0);  // a bank chunk, program 0, declared as given
    EXPECT_EQ(std::memcmp(seed.data() + 2, data, 490), 0);
}

}  // namespace
