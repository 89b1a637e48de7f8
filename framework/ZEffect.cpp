#include "framework/ZEffect.h"

#include "framework/NumberText.h"
#include "framework/PresetLoader.h"
#include "framework/ZEditorBase.h"
#include "io/ResourceReader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace VRAX {

namespace {

// Copies at most size - 1 characters and a terminating zero.
void copyBounded(char* out, int32_t size, const char* text) {
    if (!out || size <= 0) return;
    int32_t i = 0;
    if (text)
        for (; i < size - 1 && text[i]; ++i) out[i] = text[i];
    out[i] = 0;
}

// A fixed host field of `width` characters: the text cut to width
// characters and zero-padded. A text that fills the field also gets the
// terminating zero after it, where the standard's string copy puts it, so a
// host never reads on past the name.
void copyPadded(char* out, int32_t width, const char* text, int32_t textLimit) {
    int32_t i = 0;
    if (text)
        for (; i < width && i < textLimit && text[i]; ++i) out[i] = text[i];
    if (i == width) {
        out[width] = 0;
        return;
    }
    for (; i < width; ++i) out[i] = 0;
}

bool equalsIgnoringCase(const char* a, const char* b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (;; ++a, ++b) {
        if (lower(*a) != lower(*b)) return false;
        if (*a == 0) return true;
    }
}

// The configuration strings a host may ask about, "<i>in<o>out".
const char* const kIoConfigs[] = {"1in1out", "1in2out", "2in1out", "2in2out", "2in4out",
                                  "4in2out", "4in4out", "4in8out", "8in4out", "8in8out"};

int32_t channelsOf(const VstSpeakerArrangement* arrangement) {
    return arrangement ? arrangement->numChannels : 0;
}

}  // namespace

ZEffect::ZEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams, VstInt32 numInputs,
                 VstInt32 numOutputs)
    : AudioEffectX(audioMaster, numPrograms, numParams) {
    setNumInputs(numInputs);
    setNumOutputs(numOutputs);
    inputArrangement = allocateArrangement(numInputs);
    outputArrangement = allocateArrangement(numOutputs);
    inputChannels.store(channelsOf(inputArrangement));
    outputChannels.store(channelsOf(outputArrangement));
    reserveScratch(blockSize, getInputChannels(), getOutputChannels());
}

ZEffect::~ZEffect() {
    releaseEditor();
    freeArrangement(inputArrangement);
    freeArrangement(outputArrangement);
    inputArrangement = outputArrangement = nullptr;
    delete[] scratch;
    delete[] scratchInputs;
    delete[] scratchOutputs;
    scratch = nullptr;
    scratchInputs = scratchOutputs = nullptr;
    commands.clear();
    features.clear();
    programs.release();
    parameters.clear();
}

void ZEffect::releaseEditor() {
    AEffEditor* old = editor;
    if (!old) return;
    editorLink.store(nullptr);
    editorOpen.store(false);
    AudioEffectX::setEditor(nullptr);
    delete old;
}

// ---------------------------------------------------------------------------
// Host-facing operations

void ZEffect::suspend() { resetState(); }

void ZEffect::resume() {
    resetState();
    AudioEffectX::resume();
}

void ZEffect::setBlockSize(VstInt32 size) {
    AudioEffectX::setBlockSize(size);
    // Hosts announce the block size while suspended: growing the work area
    // here keeps the allocation off the audio thread.
    reserveScratch(size, getInputChannels(), getOutputChannels());
}

void ZEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlockFloat(inputs, getInputChannels(), outputs, getOutputChannels(), sampleFrames);
}

void ZEffect::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0 || !inputs || !outputs) return;
    processBlock(inputs, getInputChannels(), outputs, getOutputChannels(), sampleFrames);
}

void ZEffect::processBlockFloat(float** inputs, int32_t numInputs, float** outputs, int32_t numOutputs,
                                int32_t frames) {
    if (frames <= 0 || numInputs < 0 || numOutputs < 0) return;
    if ((numInputs > 0 && !inputs) || (numOutputs > 0 && !outputs)) return;
    if (!reserveScratch(frames, numInputs, numOutputs)) {
        // No room (only when allocation failed): silence rather than garbage.
        for (int32_t c = 0; c < numOutputs; ++c)
            if (outputs[c]) std::memset(outputs[c], 0, sizeof(float) * static_cast<size_t>(frames));
        return;
    }
    for (int32_t c = 0; c < numInputs; ++c) {
        const float* in = inputs[c];
        double* work = scratchInputs[c];
        if (in)
            for (int32_t i = 0; i < frames; ++i) work[i] = in[i];
        else
            std::memset(work, 0, sizeof(double) * static_cast<size_t>(frames));
    }
    for (int32_t c = 0; c < numOutputs; ++c)
        std::memset(scratchOutputs[c], 0, sizeof(double) * static_cast<size_t>(frames));
    processBlock(scratchInputs, numInputs, scratchOutputs, numOutputs, frames);
    for (int32_t c = 0; c < numOutputs; ++c) {
        float* out = outputs[c];
        const double* work = scratchOutputs[c];
        if (out)
            for (int32_t i = 0; i < frames; ++i) out[i] = static_cast<float>(work[i]);
    }
}

bool ZEffect::reserveScratch(int32_t frames, int32_t numInputs, int32_t numOutputs) {
    if (frames < 0 || numInputs < 0 || numOutputs < 0) return false;
    const int64_t needed = static_cast<int64_t>(frames) * (static_cast<int64_t>(numInputs) + numOutputs);
    if (needed > INT32_MAX) return false;
    bool moved = false;
    if (needed > scratchCapacity) {
        auto* fresh = new (std::nothrow) double[static_cast<size_t>(needed)]();
        if (!fresh) return false;
        delete[] scratch;
        scratch = fresh;
        scratchCapacity = static_cast<int32_t>(needed);
        moved = true;
    }
    if (numInputs > inputSlots) {
        auto* fresh = new (std::nothrow) double*[static_cast<size_t>(numInputs)]();
        if (!fresh) return false;
        delete[] scratchInputs;
        scratchInputs = fresh;
        inputSlots = numInputs;
        moved = true;
    }
    if (numOutputs > outputSlots) {
        auto* fresh = new (std::nothrow) double*[static_cast<size_t>(numOutputs)]();
        if (!fresh) return false;
        delete[] scratchOutputs;
        scratchOutputs = fresh;
        outputSlots = numOutputs;
        moved = true;
    }
    if (moved || frames != layoutFrames || numInputs != layoutInputs || numOutputs != layoutOutputs) {
        for (int32_t c = 0; c < numInputs; ++c) scratchInputs[c] = scratch + static_cast<size_t>(c) * frames;
        for (int32_t c = 0; c < numOutputs; ++c)
            scratchOutputs[c] = scratch + static_cast<size_t>(numInputs + c) * frames;
        layoutFrames = frames;
        layoutInputs = numInputs;
        layoutOutputs = numOutputs;
    }
    return true;
}

void ZEffect::mapChannels(bool stereoIn, bool stereoOut, double left, double right, double* leftOut,
                          double* rightOut) {
    if (stereoIn && !stereoOut) {
        *leftOut = (left + right) * 0.5;
        return;
    }
    *leftOut = left;
    if (stereoOut) *rightOut = stereoIn ? right : left;
}

void ZEffect::setParameter(VstInt32 index, float value) { setParameterValue(index, value); }

void ZEffect::setParameterValue(int32_t index, double value) {
    const ZEffectParameter* param = getParameterObject(index);
    void* stored = programs.valueAddress(curProgram, index);
    if (!param || !stored) return;
    param->setStored(stored, value);
    // Hosts automate from the audio thread: the texts are made by whoever
    // reads them next, not here.
    programs.markStale(curProgram, index);
    parameterChanged(index);
    applyParameters(false);
}

float ZEffect::getParameter(VstInt32 index) { return static_cast<float>(getStoredValue(index)); }

bool ZEffect::string2parameter(VstInt32 index, char* text) {
    const ZEffectParameter* param = getParameterObject(index);
    if (!param) return false;
    const bool accepts = param->acceptsText();
    // A null text only asks whether the parameter can be set from text.
    if (!text || !accepts) return accepts;
    void* stored = programs.valueAddress(curProgram, index);
    if (!stored) return false;
    param->setFromText(stored, text);
    programs.refreshTexts(curProgram, index);
    parameterChanged(index);
    applyParameters(false);
    return true;
}

AEffect* ZEffect::getAeffect() {
    cEffect.version = getVendorVersion();
    return &cEffect;
}

void ZEffect::setEditor(AEffEditor* newEditor) {
    AudioEffectX::setEditor(newEditor);
    editorLink.store(dynamic_cast<ZEditorBase*>(newEditor));
}

void ZEffect::setProgram(VstInt32 program) {
    if (program >= 0 && program < numPrograms && programs.isValid(program)) curProgram = program;
    applyParameters(false);
}

void ZEffect::setProgramName(char* text) {
    char* name = programs.programName(curProgram);
    if (!name || !text || !text[0]) return;
    // At most 24 characters, zero-padded; the field's last byte is left alone.
    std::strncpy(name, text, ProgramBank::kMaxNameLength);
}

void ZEffect::getProgramName(char* text) {
    if (!text) return;
    copyPadded(text, kVstMaxProgNameLen, programs.programName(curProgram), ProgramBank::kMaxNameLength);
}

bool ZEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!text) return false;
    const char* name = programs.programName(index);
    if (!name) {
        text[0] = 0;
        return false;
    }
    copyPadded(text, kVstMaxProgNameLen, name, ProgramBank::kMaxNameLength);
    return true;
}

void ZEffect::getParameterName(VstInt32 index, char* text) {
    if (!text) return;
    const ZEffectParameter* param = getParameterObject(index);
    if (!param) {
        text[0] = 0;
        return;
    }
    copyPadded(text, kVstMaxParamStrLen, param->getName(), Named::kNameLength);
}

void ZEffect::getParameterLabel(VstInt32 index, char* label) {
    if (!label) return;
    const ZEffectParameter* param = getParameterObject(index);
    if (!param) {
        label[0] = 0;
        return;
    }
    copyPadded(label, kVstMaxParamStrLen, param->getUnit(), ZEffectParameter::kUnitSize - 1);
}

void ZEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) return;
    if (!programs.isValid(curProgram, index)) {
        text[0] = 0;
        return;
    }
    // The editor's thread may be rebuilding the text: work on a copy.
    char value[ProgramBank::kValueTextSize];
    programs.copyValueText(curProgram, index, value, ProgramBank::kValueTextSize);
    const size_t length = strnlen(value, ProgramBank::kValueTextSize);
    if (length >= static_cast<size_t>(kDisplaySize)) {
        std::memcpy(text, value, kDisplaySize - 4);
        std::memcpy(text + kDisplaySize - 4, "...", 4);
        return;
    }
    copyPadded(text, kDisplaySize, value, kDisplaySize);
}

VstInt32 ZEffect::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    // A snapshot of the values, in a buffer of the bank's that stays as it
    // is until the next getChunk.
    const unsigned char* chunk = isPreset ? programs.saveProgram(curProgram) : programs.saveBank();
    *data = const_cast<unsigned char*>(chunk);
    if (!chunk) return 0;
    return isPreset ? programs.getRecordLength() : programs.getTotalLength();
}

VstInt32 ZEffect::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    // Hosts give back what getChunk produced; anything shorter than that is
    // not a chunk of ours and is refused rather than read past its end.
    if (!data) return 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const int32_t recordLength = programs.getRecordLength();
    if (isPreset) {
        if (!programs.isValid(curProgram) || byteSize < recordLength) return 0;
        programs.copyRecord(curProgram, bytes);
    } else {
        const int32_t total = programs.getTotalLength();
        if (total <= 0 || byteSize < total) return 0;
        for (int32_t p = 0; p < programs.getNumPrograms(); ++p)
            programs.copyRecord(p, bytes + static_cast<size_t>(p) * static_cast<size_t>(recordLength));
    }
    programs.refreshAllTexts();
    applyParameters(false);
    return isPreset ? recordLength : programs.getTotalLength();
}

bool ZEffect::setBypass(bool onOff) {
    char bypass[] = "bypass";
    if (canDo(bypass) != 1) return false;
    bypassed.store(onOff);
    return true;
}

bool ZEffect::getEffectName(char* name) {
    const char* text = effectNameText();
    if (!text || !name) return false;
    copyBounded(name, kVstMaxEffectNameLen, text);
    return true;
}

bool ZEffect::getVendorString(char* text) {
    const char* vendor = vendorNameText();
    if (!vendor || !text) return false;
    copyBounded(text, kVstMaxVendorStrLen, vendor);
    return true;
}

bool ZEffect::getProductString(char* text) {
    const char* product = productNameText();
    if (!product || !text) return false;
    copyBounded(text, kVstMaxProductStrLen, product);
    return true;
}

VstInt32 ZEffect::canDo(char* text) {
    if (!text) return 0;
    for (const char* config : kIoConfigs)
        if (std::strcmp(text, config) == 0) return isIoConfigSupported(config[0] - '0', config[3] - '0') ? 1 : -1;
    // "bypass", "midiProgramNames", "conformsToWindowRules" and anything else:
    // the framework does not know; the concrete effect answers its own.
    return 0;
}

// ---------------------------------------------------------------------------
// Speaker arrangements

VstSpeakerArrangement* ZEffect::allocateArrangement(int32_t channels) {
    if (channels < 0) channels = 0;
    const size_t wanted = 8 + sizeof(VstSpeakerProperties) * static_cast<size_t>(channels);
    const size_t bytes = std::max(wanted, sizeof(VstSpeakerArrangement));
    auto* arrangement = static_cast<VstSpeakerArrangement*>(std::calloc(1, bytes));
    if (arrangement) arrangement->numChannels = channels;
    return arrangement;
}

void ZEffect::freeArrangement(VstSpeakerArrangement* arrangement) { std::free(arrangement); }

VstSpeakerArrangement* ZEffect::copyArrangement(const VstSpeakerArrangement* source) {
    VstSpeakerArrangement* copy = allocateArrangement(source->numChannels);
    if (!copy) return nullptr;
    copy->type = source->type;
    // The host's record holds numChannels speakers, however many the
    // published declaration shows; index through the base address.
    const auto* from = reinterpret_cast<const VstSpeakerProperties*>(reinterpret_cast<const char*>(source) + 8);
    auto* to = reinterpret_cast<VstSpeakerProperties*>(reinterpret_cast<char*>(copy) + 8);
    for (int32_t i = 0; i < source->numChannels; ++i) {
        to[i].azimuth = from[i].azimuth;
        to[i].elevation = from[i].elevation;
        to[i].radius = from[i].radius;
        to[i].reserved = from[i].reserved;
        const size_t nameLength = strnlen(from[i].name, 63);
        std::memcpy(to[i].name, from[i].name, nameLength);
        to[i].name[nameLength] = 0;
        to[i].type = from[i].type;
        std::memcpy(to[i].future, from[i].future, sizeof(to[i].future));
    }
    return copy;
}

bool ZEffect::setSpeakerArrangement(VstSpeakerArrangement* pluginInput, VstSpeakerArrangement* pluginOutput) {
    if (!pluginInput || !pluginOutput) return false;
    if (!isIoConfigSupported(pluginInput->numChannels, pluginOutput->numChannels)) return false;
    VstSpeakerArrangement* newInput = copyArrangement(pluginInput);
    VstSpeakerArrangement* newOutput = copyArrangement(pluginOutput);
    if (!newInput || !newOutput) {
        freeArrangement(newInput);
        freeArrangement(newOutput);
        return false;
    }
    freeArrangement(inputArrangement);
    freeArrangement(outputArrangement);
    inputArrangement = newInput;
    outputArrangement = newOutput;
    inputChannels.store(newInput->numChannels);
    outputChannels.store(newOutput->numChannels);
    reserveScratch(blockSize, newInput->numChannels, newOutput->numChannels);
    return true;
}

bool ZEffect::getSpeakerArrangement(VstSpeakerArrangement** pluginInput, VstSpeakerArrangement** pluginOutput) {
    if (pluginInput) *pluginInput = inputArrangement;
    if (pluginOutput) *pluginOutput = outputArrangement;
    return true;
}

// ---------------------------------------------------------------------------
// Text variables

void ZEffect::getStringVariable(char* out, int32_t size, const char* name) {
    if (!out || size <= 0) return;
    out[0] = 0;
    if (!name) return;
    const bool vendor = std::strcmp(name, "HostVend") == 0;
    if (vendor || std::strcmp(name, "HostName") == 0) {
        // Hosts write up to 64 characters by the standard, some more: give
        // them room, then keep what fits.
        char host[kHostStringSize] = {};
        if (vendor)
            getHostVendorString(host);
        else
            getHostProductString(host);
        host[kHostStringSize - 1] = 0;
        copyBounded(out, size, host[0] ? host : "Unknown");
    } else if (std::strcmp(name, "PlugVer") == 0) {
        copyBounded(out, size, pluginVersionText());
    } else if (std::strcmp(name, "PlugBuild") == 0) {
        copyBounded(out, size, pluginBuildText());
    } else if (std::strcmp(name, "Platform") == 0) {
        copyBounded(out, size, platformText());
    } else if (std::strcmp(name, "BuildDate") == 0) {
        copyBounded(out, size, buildDateText());
    } else if (std::strcmp(name, "SRate") == 0) {
        formatFixed(out, size, getSampleRate(), 0);
    } else if (std::strcmp(name, "Inputs") == 0) {
        std::snprintf(out, static_cast<size_t>(size), "%d", static_cast<int>(getInputChannels()));
    } else if (std::strcmp(name, "Outputs") == 0) {
        std::snprintf(out, static_cast<size_t>(size), "%d", static_cast<int>(getOutputChannels()));
    }
}

void ZEffect::expandVariables(char* out, int32_t size, const char* text) {
    if (!out || size <= 0) return;
    out[0] = 0;
    if (!text || !text[0] || size < 2) return;
    int32_t written = 0;
    const char* p = text;
    while (*p && written < size - 1) {
        if (p[0] != '$' || p[1] != '{') {
            out[written++] = *p++;
            continue;
        }
        p += 2;
        char name[kMaxVariableName + 1];
        int32_t length = 0;
        for (; *p && *p != '}'; ++p)
            if (length < kMaxVariableName) name[length++] = *p;
        name[length] = 0;
        if (*p == '}') ++p;
        char value[kVariableValueSize];
        getStringVariable(value, kVariableValueSize, name);
        for (const char* v = value; *v && written < size - 1; ++v) out[written++] = *v;
    }
    out[written] = 0;
}

// ---------------------------------------------------------------------------
// Presets, lookups, editor link

void ZEffect::loadPresetFile(const char* fileName) {
    XP::ResourceReader reader;
    if (reader.open(fileName)) loadPresets(programs, reader);
}

int32_t ZEffect::findParameter(const char* name) const {
    if (!name) return -1;
    for (int32_t i = 0; i < numParams && i < parameters.size(); ++i) {
        const ZEffectParameter* param = parameters.get(i);
        if (param && param->nameEqualsIgnoringCase(name)) return i;
    }
    return -1;
}

ZEffectFeature* ZEffect::findFeature(const char* name) const { return findByName(features, name); }

ZEffectCommand* ZEffect::findCommand(const char* name) const { return findByName(commands, name); }

void* ZEffect::findFeatureValue(const char* name, int32_t valueType) const {
    if (!name || equalsIgnoringCase(name, "Null")) return nullptr;
    const ZEffectFeature* feature = findFeature(name);
    if (!feature || !feature->isType(valueType)) return nullptr;
    return feature->valueAddress();
}

const ZEffectParameter* ZEffect::getParameterObject(int32_t index) const {
    if (index < 0 || index >= numParams || index >= parameters.size()) return nullptr;
    return parameters.get(index);
}

double ZEffect::getStoredValue(int32_t index) const {
    const ZEffectParameter* param = getParameterObject(index);
    const void* stored = programs.valueAddress(curProgram, index);
    return param && stored ? param->getStored(stored) : 0.0;
}

double ZEffect::getNormalisedValue(int32_t index) const {
    const ZEffectParameter* param = getParameterObject(index);
    const void* stored = programs.valueAddress(curProgram, index);
    return param && stored ? param->getNormalised(stored) : 0.0;
}

double ZEffect::getRealValue(int32_t index) const {
    const ZEffectParameter* param = getParameterObject(index);
    const void* stored = programs.valueAddress(curProgram, index);
    return param && stored ? param->getReal(stored) : 0.0;
}

const char* ZEffect::getValueText(int32_t index) const { return programs.valueText(curProgram, index); }

const char* ZEffect::getDisplayText(int32_t index) const { return programs.displayText(curProgram, index); }

void ZEffect::copyDisplayText(int32_t index, char* out, int32_t size) const {
    programs.copyDisplayText(curProgram, index, out, size);
}

void ZEffect::notifyEditor() {
    if (!editorOpen.load(std::memory_order_relaxed)) return;
    if (ZEditorBase* link = editorLink.load(std::memory_order_acquire)) link->refresh();
}

}  // namespace VRAX
