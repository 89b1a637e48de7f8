#include "framework/ProgramBank.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace VRAX {

namespace {
const char kDefaultName[] = "Defaults";

// Texts are rebuilt in place while other threads read them: every byte is
// moved atomically (relaxed), so a reader sees each byte either old or new.
void publishText(char* entry, const char* text, int32_t size) {
    for (int32_t i = 0; i < size; ++i) {
        __atomic_store_n(&entry[i], text[i], __ATOMIC_RELAXED);
        if (!text[i]) return;
    }
}

void copyText(const char* text, char* out, int32_t size) {
    if (!out || size <= 0) return;
    int32_t i = 0;
    for (; i < size - 1 && text[i]; ++i) out[i] = text[i];
    out[i] = 0;
}
}  // namespace

ProgramBank::~ProgramBank() { release(); }

void ProgramBank::release() {
    delete[] offsets;
    delete[] valueTexts;
    delete[] displayTexts;
    delete[] slotOf;
    delete[] slots;
    delete[] names;
    delete[] stale;
    delete[] bankChunk;
    delete[] programChunk;
    offsets = slotOf = nullptr;
    valueTexts = displayTexts = names = nullptr;
    slots = nullptr;
    stale = nullptr;
    bankChunk = programChunk = nullptr;
    numPrograms = numParams = numValues = 0;
    recordLength = totalLength = slotsPerProgram = 0;
    parameters = nullptr;
}

bool ProgramBank::setUp(int32_t programs, const ParameterList* parameterList) {
    release();
    if (programs < 0 || !parameterList) return false;
    const int32_t params = parameterList->size();

    int64_t length = kNameSize;
    int64_t slotCount = 0;
    for (int32_t j = 0; j < params; ++j) {
        const ZEffectParameter* p = parameterList->get(j);
        const int32_t bytes = p ? p->storageSize() : 8;
        if (bytes < 0) return false;
        length += bytes;
        slotCount += (bytes + 7) / 8;
    }
    const int64_t total = length * programs;
    const int64_t values = static_cast<int64_t>(programs) * params;
    if (total > INT32_MAX || values * kDisplayTextSize > INT32_MAX || slotCount * programs > INT32_MAX / 8)
        return false;

    const auto count = [](int64_t n) { return static_cast<size_t>(n) + 1; };
    offsets = new (std::nothrow) int32_t[count(params)]();
    slotOf = new (std::nothrow) int32_t[count(params)]();
    valueTexts = new (std::nothrow) char[count(values * kValueTextSize)]();
    displayTexts = new (std::nothrow) char[count(values * kDisplayTextSize)]();
    slots = new (std::nothrow) std::atomic<uint64_t>[count(slotCount * programs)]();
    names = new (std::nothrow) char[count(static_cast<int64_t>(programs) * kNameSize)]();
    stale = new (std::nothrow) std::atomic<bool>[count(values)]();
    bankChunk = new (std::nothrow) unsigned char[count(total)]();
    programChunk = new (std::nothrow) unsigned char[count(length)]();
    if (!offsets || !slotOf || !valueTexts || !displayTexts || !slots || !names || !stale || !bankChunk ||
        !programChunk) {
        release();
        return false;
    }

    numPrograms = programs;
    parameters = parameterList;
    numParams = params;
    numValues = static_cast<int32_t>(values);
    recordLength = static_cast<int32_t>(length);
    totalLength = static_cast<int32_t>(total);
    slotsPerProgram = static_cast<int32_t>(slotCount);
    int32_t offset = kNameSize;
    int32_t slot = 0;
    for (int32_t j = 0; j < params; ++j) {
        const ZEffectParameter* p = parameterList->get(j);
        const int32_t bytes = p ? p->storageSize() : 8;
        offsets[j] = offset;
        slotOf[j] = slot;
        offset += bytes;
        slot += (bytes + 7) / 8;
    }
    fillDefaults();
    return true;
}

void ProgramBank::fillDefaults() {
    for (int32_t p = 0; p < numPrograms; ++p) {
        setProgramName(p, kDefaultName);
        for (int32_t j = 0; j < numParams; ++j) {
            if (const ZEffectParameter* param = parameter(j)) param->setToDefault(valueAddress(p, j));
            refreshTexts(p, j);
        }
    }
}

int32_t ProgramBank::offsetOf(int32_t j) const { return j >= 0 && j < numParams ? offsets[j] : -1; }

int32_t ProgramBank::valueBytes(int32_t j) const {
    return (j + 1 < numParams ? offsets[j + 1] : recordLength) - offsets[j];
}

void* ProgramBank::valueAddress(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return nullptr;
    return &slots[static_cast<size_t>(program) * static_cast<size_t>(slotsPerProgram) + slotOf[j]];
}

void ProgramBank::makeTexts(int32_t program, int32_t j, char* value, char* display) const {
    value[0] = display[0] = 0;
    if (const ZEffectParameter* param = parameter(j)) {
        const void* stored = valueAddress(program, j);
        param->valueText(value, kValueTextSize, stored);
        param->displayText(display, kDisplayTextSize, stored);
        value[kValueTextSize - 1] = 0;
        display[kDisplayTextSize - 1] = 0;
    }
}

void ProgramBank::refreshTexts(int32_t program, int32_t j) {
    if (!isValid(program, j)) return;
    const size_t entry = static_cast<size_t>(entryOf(program, j));
    // Cleared before the texts are made, so a value set meanwhile leaves
    // them stale again rather than lost.
    stale[entry].store(false, std::memory_order_relaxed);
    char valueBuffer[kValueTextSize];
    char displayBuffer[kDisplayTextSize];
    makeTexts(program, j, valueBuffer, displayBuffer);
    publishText(valueTexts + entry * kValueTextSize, valueBuffer, kValueTextSize);
    publishText(displayTexts + entry * kDisplayTextSize, displayBuffer, kDisplayTextSize);
}

void ProgramBank::refreshAllTexts() {
    for (int32_t p = 0; p < numPrograms; ++p)
        for (int32_t j = 0; j < numParams; ++j) refreshTexts(p, j);
}

void ProgramBank::markStale(int32_t program, int32_t j) {
    if (isValid(program, j)) stale[entryOf(program, j)].store(true, std::memory_order_release);
}

char* ProgramBank::programName(int32_t program) const {
    if (!isValid(program)) return nullptr;
    return names + static_cast<size_t>(program) * kNameSize;
}

void ProgramBank::setProgramName(int32_t program, const char* text) {
    char* name = programName(program);
    if (!name) return;
    std::memset(name, 0, kNameSize);
    if (text) std::strncpy(name, text, kMaxNameLength);
}

const char* ProgramBank::valueText(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return "";
    const int32_t entry = entryOf(program, j);
    if (stale[entry].load(std::memory_order_acquire)) const_cast<ProgramBank*>(this)->refreshTexts(program, j);
    return valueTexts + static_cast<size_t>(entry) * kValueTextSize;
}

const char* ProgramBank::displayText(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return "";
    const int32_t entry = entryOf(program, j);
    if (stale[entry].load(std::memory_order_acquire)) const_cast<ProgramBank*>(this)->refreshTexts(program, j);
    return displayTexts + static_cast<size_t>(entry) * kDisplayTextSize;
}

void ProgramBank::copyValueText(int32_t program, int32_t j, char* out, int32_t size) const {
    char value[kValueTextSize] = {};
    char display[kDisplayTextSize] = {};
    if (isValid(program, j)) makeTexts(program, j, value, display);
    copyText(value, out, size);
}

void ProgramBank::copyDisplayText(int32_t program, int32_t j, char* out, int32_t size) const {
    char value[kValueTextSize] = {};
    char display[kDisplayTextSize] = {};
    if (isValid(program, j)) makeTexts(program, j, value, display);
    copyText(display, out, size);
}

void ProgramBank::copyRecord(int32_t program, const unsigned char* source) {
    char* name = programName(program);
    if (!name || !source) return;
    std::memcpy(name, source, kNameSize);
    // Our own chunks always end the name there; a damaged one must not
    // leave a name that runs on into the values.
    name[kNameSize - 1] = 0;
    for (int32_t j = 0; j < numParams; ++j) {
        auto* slot = static_cast<std::atomic<uint64_t>*>(valueAddress(program, j));
        const int32_t bytes = valueBytes(j);
        for (int32_t k = 0; k * 8 < bytes; ++k) {
            uint64_t word = 0;
            std::memcpy(&word, source + offsets[j] + k * 8, static_cast<size_t>(std::min(8, bytes - k * 8)));
            slot[k].store(word, std::memory_order_relaxed);
        }
    }
}

void ProgramBank::writeRecord(int32_t program, unsigned char* record) const {
    std::memcpy(record, programName(program), kNameSize);
    for (int32_t j = 0; j < numParams; ++j) {
        const auto* slot = static_cast<const std::atomic<uint64_t>*>(valueAddress(program, j));
        const int32_t bytes = valueBytes(j);
        for (int32_t k = 0; k * 8 < bytes; ++k) {
            const uint64_t word = slot[k].load(std::memory_order_relaxed);
            std::memcpy(record + offsets[j] + k * 8, &word, static_cast<size_t>(std::min(8, bytes - k * 8)));
        }
    }
}

const unsigned char* ProgramBank::saveBank() {
    if (!bankChunk || numPrograms <= 0) return nullptr;
    for (int32_t p = 0; p < numPrograms; ++p)
        writeRecord(p, bankChunk + static_cast<size_t>(p) * static_cast<size_t>(recordLength));
    return bankChunk;
}

const unsigned char* ProgramBank::saveProgram(int32_t program) {
    if (!programChunk || !isValid(program)) return nullptr;
    writeRecord(program, programChunk);
    return programChunk;
}

const ZEffectParameter* ProgramBank::parameter(int32_t j) const {
    if (!parameters || j < 0 || j >= numParams || j >= parameters->size()) return nullptr;
    return parameters->get(j);
}

int32_t ProgramBank::findParameter(const char* name) const {
    if (!name) return -1;
    for (int32_t j = 0; j < numParams; ++j) {
        const ZEffectParameter* param = parameter(j);
        if (param && param->nameEqualsIgnoringCase(name)) return j;
    }
    return -1;
}

}  // namespace VRAX
