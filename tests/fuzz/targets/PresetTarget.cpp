// A preset file of arbitrary bytes, loaded by the effect's own loader: the
// input is registered as an embedded file, so the whole path runs (embedded
// table, resource reader, token reader, loader, parameters' text parsing).
// Afterwards every program must hold a name of at most 24 characters and
// values within 0 to 1, its texts must be terminated, the host's queries
// must stay inside their buffers, and the bank must match a model that
// applies the file's PRESET and SETSTR lines directly.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "dsp/ZFilter.h"
#include "framework/StoredValue.h"
#include "io/EmbeddedFile.h"
#include "io/MemoryReader.h"
#include "io/TokenReader.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace qolmfuzz {

namespace {

constexpr const char* kFileName = "FuzzPreset.txt";
const unsigned char kNoBytes[1] = {0};

// Registered once; each run points it at its input.
EmbeddedFile& presetRecord() {
    static EmbeddedFile record = {kFileName, 0, kNoBytes};
    static const bool registered = (registerEmbeddedFile(&record), true);
    (void)registered;
    return record;
}

bool sameIgnoringCase(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (;; ++a, ++b) {
        if (lower(*a) != lower(*b)) return false;
        if (*a == 0) return true;
    }
}

struct ModelProgram {
    std::string name = "Defaults";
    std::vector<std::vector<std::string>> texts;  // per parameter, in file order
};

std::vector<ModelProgram> modelBank(const std::string& text, const VRAX::ProgramBank& bank) {
    std::vector<ModelProgram> programs(static_cast<size_t>(bank.getNumPrograms()));
    for (ModelProgram& p : programs) p.texts.resize(static_cast<size_t>(bank.getNumParams()));
    MemoryReader source(text);
    XP::TokenReader tokens(&source);
    int32_t program = -1;
    const auto count = static_cast<int32_t>(programs.size());
    while (tokens.readLine()) {
        if (tokens.tokenCount > 1 && sameIgnoringCase(tokens.token(0), "preset")) {
            if (program < count) ++program;
            if (program < count && tokens.token(1)[0])
                programs[static_cast<size_t>(program)].name = std::string(tokens.token(1)).substr(0, 24);
        } else if (tokens.tokenCount > 2 && sameIgnoringCase(tokens.token(0), "setstr")) {
            if (program < 0 || program >= count) continue;
            for (int32_t j = 0; j < bank.getNumParams(); ++j) {
                const char* name = bank.parameter(j)->getName();
                if (sameIgnoringCase(std::string(name, strnlen(name, 35)).c_str(), tokens.token(1))) {
                    programs[static_cast<size_t>(program)].texts[static_cast<size_t>(j)].push_back(tokens.token(2));
                    break;
                }
            }
        }
    }
    return programs;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

int fuzzPreset(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    EmbeddedFile& record = presetRecord();
    const std::string text(reinterpret_cast<const char*>(data), size);

    auto effect = std::make_unique<VRAX::ZFilter>(hostCallback);
    VRAX::ProgramBank& bank = effect->getPrograms();
    bank.fillDefaults();
    record.data = size ? data : kNoBytes;
    record.size = static_cast<int32_t>(size);
    effect->loadPresetFile(kFileName);
    record.data = kNoBytes;
    record.size = 0;

    const std::vector<ModelProgram> model = modelBank(text, bank);
    for (int32_t p = 0; p < bank.getNumPrograms(); ++p) {
        const ModelProgram& expected = model[static_cast<size_t>(p)];
        const char* name = bank.programName(p);
        FUZZ_CHECK(name[VRAX::ProgramBank::kNameSize - 1] == 0);
        FUZZ_CHECK(expected.name == name);

        effect->setProgram(p);
        std::unique_ptr<char[]> hostName(new char[kVstMaxProgNameLen + 1]);
        effect->getProgramName(hostName.get());
        FUZZ_CHECK(expected.name == hostName.get());
        FUZZ_CHECK(effect->getProgramNameIndexed(0, p, hostName.get()));
        FUZZ_CHECK(expected.name == hostName.get());

        for (int32_t j = 0; j < bank.getNumParams(); ++j) {
            const VRAX::ZEffectParameter* param = bank.parameter(j);
            const double stored = VRAX::loadStoredValue(bank.valueAddress(p, j));
            FUZZ_CHECK(stored >= 0.0 && stored <= 1.0);

            unsigned char scratch[8];
            param->setToDefault(scratch);
            for (const std::string& value : expected.texts[static_cast<size_t>(j)])
                param->setFromText(scratch, value.c_str());
            FUZZ_CHECK(sameBits(stored, VRAX::loadStoredValue(scratch)));

            const char* valueText = bank.valueText(p, j);
            const char* displayText = bank.displayText(p, j);
            FUZZ_CHECK(strnlen(valueText, VRAX::ProgramBank::kValueTextSize) < VRAX::ProgramBank::kValueTextSize);
            FUZZ_CHECK(strnlen(displayText, VRAX::ProgramBank::kDisplayTextSize) <
                       VRAX::ProgramBank::kDisplayTextSize);
            FUZZ_CHECK(std::strncmp(displayText, valueText, std::strlen(valueText)) == 0);

            std::unique_ptr<char[]> display(new char[VRAX::ZEffect::kDisplaySize]);
            effect->getParameterDisplay(j, display.get());
            FUZZ_CHECK(std::memchr(display.get(), 0, VRAX::ZEffect::kDisplaySize) != nullptr);
        }
    }
    return 0;
}

}  // namespace qolmfuzz
