// setChunk with arbitrary bytes, declared sizes and program/bank kind, as a
// host restoring a damaged or foreign session would call it. A chunk shorter
// than its kind is refused and changes nothing; an accepted one lands byte
// for byte (names always terminated). Afterwards every program's name and
// every parameter's texts must fit the host's buffers, and a block of audio
// must process (finite output while the values are within 0 to 1).
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "dsp/ZFilter.h"
#include "framework/StoredValue.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace qolmfuzz {

namespace {

std::vector<unsigned char> bankBytes(VRAX::ZFilter& effect) {
    void* bank = nullptr;
    const VstInt32 size = effect.getChunk(&bank, false);
    FUZZ_CHECK(bank != nullptr && size == effect.getPrograms().getTotalLength());
    const auto* bytes = static_cast<const unsigned char*>(bank);
    return std::vector<unsigned char>(bytes, bytes + size);
}

bool sameValue(const unsigned char* a, const unsigned char* b) {
    const double x = VRAX::loadStoredValue(a);
    const double y = VRAX::loadStoredValue(b);
    // A signalling NaN may come back quiet; any other value bit for bit.
    return std::memcmp(a, b, 8) == 0 || (std::isnan(x) && std::isnan(y));
}

bool withinUnit(const VRAX::ProgramBank& bank, int32_t program) {
    for (int32_t j = 0; j < bank.getNumParams(); ++j) {
        const double v = VRAX::loadStoredValue(bank.valueAddress(program, j));
        if (!(v >= 0.0 && v <= 1.0)) return false;
    }
    return true;
}

void processBlock(VRAX::ZFilter& effect, bool checkFinite) {
    constexpr int kFrames = 67;
    std::vector<float> in(2 * kFrames), out(2 * kFrames, 0.0f);
    for (int i = 0; i < kFrames; ++i) {
        in[static_cast<size_t>(i)] = static_cast<float>(std::sin(0.3 * i));
        in[static_cast<size_t>(kFrames + i)] = (i % 7) ? 0.25f : -1.0f;
    }
    float* inputs[2] = {in.data(), in.data() + kFrames};
    float* outputs[2] = {out.data(), out.data() + kFrames};
    effect.processReplacing(inputs, outputs, kFrames);
    std::vector<double> din(in.begin(), in.end()), dout(2 * kFrames, 0.0);
    double* dinputs[2] = {din.data(), din.data() + kFrames};
    double* doutputs[2] = {dout.data(), dout.data() + kFrames};
    effect.processDoubleReplacing(dinputs, doutputs, kFrames);
    if (!checkFinite) return;
    for (float v : out) FUZZ_CHECK(std::isfinite(v));
    for (double v : dout) FUZZ_CHECK(std::isfinite(v));
}

}  // namespace

int fuzzChunk(const uint8_t* data, size_t size) {
    InputBytes input(data, size);
    const uint8_t settings = input.byte();
    const bool isPreset = settings & 1;
    const int32_t program = (settings >> 1) & 15;  // 10 to 15 are no program
    const int sizeMode = (settings >> 5) & 3;
    const uint8_t shortBy = input.byte();
    const size_t given = input.restSize();
    // The payload is the tail of the input, so the buffer ends exactly there.
    const unsigned char* payload = (given == 0 && (settings & 0x80)) ? nullptr : input.rest();

    VstInt32 declared = static_cast<VstInt32>(given);
    if (sizeMode == 1) declared -= shortBy;   // less than the buffer holds
    if (sizeMode == 2) declared = (shortBy & 1) ? INT_MIN : -1 - shortBy;

    auto effect = std::make_unique<VRAX::ZFilter>(hostCallback);
    VRAX::ProgramBank& bank = effect->getPrograms();
    const int32_t recordLength = bank.getRecordLength();
    const int32_t numPrograms = bank.getNumPrograms();
    FUZZ_CHECK(recordLength == 49 && bank.getTotalLength() == 490);

    effect->setProgram(program);
    const int32_t current = effect->getProgram();
    FUZZ_CHECK(current == (program < numPrograms ? program : 0));

    const std::vector<unsigned char> before = bankBytes(*effect);
    const VstInt32 needed = isPreset ? recordLength : bank.getTotalLength();
    const VstInt32 result = effect->setChunk(const_cast<unsigned char*>(payload), declared, isPreset);
    const std::vector<unsigned char> after = bankBytes(*effect);

    if (!payload || declared < needed) {
        FUZZ_CHECK(result == 0);
        FUZZ_CHECK(after == before);
    } else {
        FUZZ_CHECK(result == needed);
        for (int32_t p = 0; p < numPrograms; ++p) {
            const unsigned char* now = after.data() + static_cast<size_t>(p) * recordLength;
            const unsigned char* source = nullptr;
            if (!isPreset) source = payload + static_cast<size_t>(p) * recordLength;
            else if (p == current) source = payload;
            if (!source) {
                FUZZ_CHECK(std::memcmp(now, before.data() + static_cast<size_t>(p) * recordLength, recordLength) == 0);
                continue;
            }
            FUZZ_CHECK(std::memcmp(now, source, VRAX::ProgramBank::kMaxNameLength) == 0);
            FUZZ_CHECK(now[VRAX::ProgramBank::kNameSize - 1] == 0);
            for (int32_t j = 0; j < bank.getNumParams(); ++j) {
                const int32_t offset = bank.offsetOf(j);
                FUZZ_CHECK(sameValue(now + offset, source + offset));
            }
        }
    }

    // What the host reads back afterwards, into buffers of exactly the size
    // each call writes.
    for (int32_t p = 0; p < numPrograms; ++p) {
        effect->setProgram(p);
        std::unique_ptr<char[]> name(new char[kVstMaxProgNameLen + 1]);
        effect->getProgramName(name.get());
        FUZZ_CHECK(std::memchr(name.get(), 0, kVstMaxProgNameLen + 1) != nullptr);
        FUZZ_CHECK(std::strncmp(name.get(), bank.programName(p), kVstMaxProgNameLen) == 0);
        FUZZ_CHECK(effect->getProgramNameIndexed(0, p, name.get()));
        for (int32_t j = 0; j < bank.getNumParams(); ++j) {
            std::unique_ptr<char[]> display(new char[VRAX::ZEffect::kDisplaySize]);
            effect->getParameterDisplay(j, display.get());
            FUZZ_CHECK(std::memchr(display.get(), 0, VRAX::ZEffect::kDisplaySize) != nullptr);
            std::unique_ptr<char[]> label(new char[kVstMaxParamStrLen + 1]);
            effect->getParameterLabel(j, label.get());
            effect->getParameterName(j, label.get());
            (void)effect->getParameter(j);
            const char* value = bank.valueText(p, j);
            const char* shown = bank.displayText(p, j);
            FUZZ_CHECK(strnlen(value, VRAX::ProgramBank::kValueTextSize) < VRAX::ProgramBank::kValueTextSize);
            FUZZ_CHECK(strnlen(shown, VRAX::ProgramBank::kDisplayTextSize) < VRAX::ProgramBank::kDisplayTextSize);
        }
        processBlock(*effect, withinUnit(bank, p));
    }

    // Our own bank given back restores exactly that.
    void* own = nullptr;
    const VstInt32 ownSize = effect->getChunk(&own, false);
    FUZZ_CHECK(effect->setChunk(own, ownSize, false) == ownSize);
    FUZZ_CHECK(bankBytes(*effect) == after);
    return 0;
}

}  // namespace qolmfuzz
