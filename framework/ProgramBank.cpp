#include "framework/ProgramBank.h"

#include "framework/StoredValue.h"

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

void loadText(const char* entry, int32_t entrySize, char* out, int32_t size) {
    if (!out || size <= 0) return;
    int32_t i = 0;
    if (entry)
        for (; i < size - 1 && i < entrySize; ++i) {
            const char c = __atomic_load_n(&entry[i], __ATOMIC_RELAXED);
            if (!c) break;
            out[i] = c;
        }
    out[i] = 0;
}
}  // namespace

ProgramBank::~ProgramBank() { release(); }

void ProgramBank::release() {
    delete[] records;
    delete[] offsets;
    delete[] valueTexts;
    delete[] displayTexts;
    records = nullptr;
    offsets = nullptr;
    valueTexts = nullptr;
    displayTexts = nullptr;
    numPrograms = numParams = numValues = 0;
    recordLength = totalLength = 0;
    parameters = nullptr;
}

bool ProgramBank::setUp(int32_t programs, const ParameterList* parameterList) {
    release();
    if (programs < 0 || !parameterList) return false;
    const int32_t params = parameterList->size();

    int64_t length = kNameSize;
    for (int32_t j = 0; j < params; ++j) {
        const ZEffectParameter* p = parameterList->get(j);
        const int32_t bytes = p ? p->storageSize() : 8;
        if (bytes < 0) return false;
        length += bytes;
    }
    const int64_t total = length * programs;
    const int64_t values = static_cast<int64_t>(programs) * params;
    if (total > INT32_MAX || values * kDisplayTextSize > INT32_MAX) return false;

    records = new (std::nothrow) unsigned char[static_cast<size_t>(total)]();
    offsets = new (std::nothrow) int32_t[static_cast<size_t>(params) + 1]();
    valueTexts = new (std::nothrow) char[static_cast<size_t>(values * kValueTextSize) + 1]();
    displayTexts = new (std::nothrow) char[static_cast<size_t>(values * kDisplayTextSize) + 1]();
    if (!records || !offsets || !valueTexts || !displayTexts) {
        release();
        return false;
    }

    numPrograms = programs;
    parameters = parameterList;
    numParams = params;
    numValues = static_cast<int32_t>(values);
    recordLength = static_cast<int32_t>(length);
    totalLength = static_cast<int32_t>(total);
    int32_t offset = kNameSize;
    for (int32_t j = 0; j < params; ++j) {
        offsets[j] = offset;
        const ZEffectParameter* p = parameterList->get(j);
        offset += p ? p->storageSize() : 8;
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

unsigned char* ProgramBank::recordAddress(int32_t program) const {
    if (!isValid(program)) return nullptr;
    return records + static_cast<size_t>(program) * static_cast<size_t>(recordLength);
}

int32_t ProgramBank::offsetOf(int32_t j) const { return j >= 0 && j < numParams ? offsets[j] : -1; }

void* ProgramBank::valueAddress(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return nullptr;
    return recordAddress(program) + offsets[j];
}

void ProgramBank::refreshTexts(int32_t program, int32_t j) {
    if (!isValid(program, j)) return;
    const size_t entry = static_cast<size_t>(program) * static_cast<size_t>(numParams) + static_cast<size_t>(j);
    char* value = valueTexts + entry * kValueTextSize;
    char* display = displayTexts + entry * kDisplayTextSize;
    const ZEffectParameter* param = parameter(j);
    char valueBuffer[kValueTextSize] = {};
    char displayBuffer[kDisplayTextSize] = {};
    if (param) {
        const void* stored = valueAddress(program, j);
        param->valueText(valueBuffer, kValueTextSize, stored);
        param->displayText(displayBuffer, kDisplayTextSize, stored);
        valueBuffer[kValueTextSize - 1] = 0;
        displayBuffer[kDisplayTextSize - 1] = 0;
    }
    publishText(value, valueBuffer, kValueTextSize);
    publishText(display, displayBuffer, kDisplayTextSize);
}

void ProgramBank::refreshAllTexts() {
    for (int32_t p = 0; p < numPrograms; ++p)
        for (int32_t j = 0; j < numParams; ++j) refreshTexts(p, j);
}

char* ProgramBank::programName(int32_t program) const {
    return reinterpret_cast<char*>(recordAddress(program));
}

void ProgramBank::setProgramName(int32_t program, const char* text) {
    char* name = programName(program);
    if (!name) return;
    std::memset(name, 0, kNameSize);
    if (text) std::strncpy(name, text, kMaxNameLength);
}

const char* ProgramBank::valueText(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return "";
    return valueTexts + (static_cast<size_t>(program) * numParams + j) * kValueTextSize;
}

const char* ProgramBank::displayText(int32_t program, int32_t j) const {
    if (!isValid(program, j)) return "";
    return displayTexts + (static_cast<size_t>(program) * numParams + j) * kDisplayTextSize;
}

void ProgramBank::copyValueText(int32_t program, int32_t j, char* out, int32_t size) const {
    loadText(isValid(program, j) ? valueText(program, j) : nullptr, kValueTextSize, out, size);
}

void ProgramBank::copyDisplayText(int32_t program, int32_t j, char* out, int32_t size) const {
    loadText(isValid(program, j) ? displayText(program, j) : nullptr, kDisplayTextSize, out, size);
}

void ProgramBank::copyRecord(int32_t program, const unsigned char* source) {
    unsigned char* record = recordAddress(program);
    if (!record || !source) return;
    // The host may hand back the very bytes getChunk gave it.
    std::memmove(record, source, kNameSize);
    // Our own chunks always end the name there; a damaged one must not
    // leave a name that runs on into the values.
    record[kNameSize - 1] = 0;
    for (int32_t j = 0; j < numParams; ++j) {
        const int32_t begin = offsets[j];
        const int32_t end = j + 1 < numParams ? offsets[j + 1] : recordLength;
        if (end - begin == 8)
            storeStoredValue(record + begin, loadStoredValue(source + begin));
        else
            std::memmove(record + begin, source + begin, static_cast<size_t>(end - begin));
    }
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
