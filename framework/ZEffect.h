// The framework effect: owns the parameters, features and commands, the
// program bank in which every parameter value lives, the speaker
// arrangements and the bypass flag; answers the host's parameter, program,
// chunk, identity and capability requests on top of the bank; and lets the
// skin and the editor find parameters, features and commands by name. A
// concrete effect declares its objects and implements the processing
// operations; the plug-in that ships it supplies its identity.
#pragma once

#include "framework/Named.h"
#include "framework/ProgramBank.h"
#include "framework/PtrList.h"
#include "framework/ZEffectCommand.h"
#include "framework/ZEffectFeature.h"
#include "framework/ZEffectParameter.h"
#include "host/AudioEffectX.h"

#include <atomic>
#include <cstdint>

namespace VRAX {

class ZEditorBase;

// Who the plug-in says it is, to hosts and in the skin's text variables.
struct ZIdentity {
    const char *effectName, *vendorName, *productName, *version, *build, *buildDate;
    VstInt32 vendorVersion;
};

class ZEffect : public AudioEffectX {
public:
    using ParameterList = PtrMgr<const ZEffectParameter>;

    // Value buffer of a text variable, the buffer the host writes its vendor
    // and product strings into, and the longest variable name looked up.
    static constexpr int32_t kVariableValueSize = 128;
    static constexpr int32_t kHostStringSize = 256;
    static constexpr int32_t kMaxVariableName = 63;
    // Bytes of the host's parameter display buffer.
    static constexpr int32_t kDisplaySize = 32;

    ZEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams, VstInt32 numInputs,
            VstInt32 numOutputs);
    ~ZEffect() override;

    // --- AudioEffect ---
    void suspend() override;
    void resume() override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    AEffect* getAeffect() override;
    void setEditor(AEffEditor* newEditor) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset = false) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;

    // --- AudioEffectX ---
    bool string2parameter(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* pluginInput, VstSpeakerArrangement* pluginOutput) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput, VstSpeakerArrangement** pluginOutput) override;
    bool setBypass(bool onOff) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 canDo(char* text) override;

    // --- ZEffect's own operations (keep this order) ---
    virtual const char* effectNameText() { return identity ? identity->effectName : nullptr; }
    virtual const char* vendorNameText() { return identity ? identity->vendorName : nullptr; }
    virtual const char* productNameText() { return identity ? identity->productName : nullptr; }
    virtual const char* pluginVersionText() { return identity ? identity->version : nullptr; }
    virtual const char* pluginBuildText() { return identity ? identity->build : nullptr; }
    virtual const char* buildDateText() { return identity ? identity->buildDate : nullptr; }
    virtual const char* platformText() { return nullptr; }
    virtual void editorOpened() { editorOpen.store(true); }
    virtual void editorClosed() { editorOpen.store(false); }
    virtual void executeCommand(int32_t, bool, bool) {}
    virtual void resetState() = 0;
    virtual bool isIoConfigSupported(int32_t inputs, int32_t outputs) = 0;
    // Copies text into out (at most size bytes with the terminating zero),
    // replacing every "${Name}" with the variable's value.
    virtual void expandVariables(char* out, int32_t size, const char* text);
    virtual void applyParameters(bool jump) = 0;
    virtual void parameterChanged(int32_t) {}
    virtual void loadPresetFile(const char* fileName);
    // The value of one variable into out (at most size bytes); empty for a
    // name that is not a variable.
    virtual void getStringVariable(char* out, int32_t size, const char* name);
    // Places one frame's results into the output places.
    virtual void mapChannels(bool stereoIn, bool stereoOut, double left, double right, double* leftOut,
                             double* rightOut);
    virtual void processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                              int32_t frames) {
        (void)inputs;
        (void)numInputs;
        (void)outputs;
        (void)numOutputs;
        (void)frames;
    }
    // Converts through the work area reserved for the announced block size;
    // a longer block is processed in slices of it, with the same output.
    virtual void processBlockFloat(float** inputs, int32_t numInputs, float** outputs, int32_t numOutputs,
                                   int32_t frames);

    // --- Lookups for the skin and the editor ---
    // Index of the first parameter whose name equals the text ignoring case; -1 when none.
    int32_t findParameter(const char* name) const;
    ZEffectFeature* findFeature(const char* name) const;
    ZEffectCommand* findCommand(const char* name) const;
    // Address of the value of the named feature when it publishes the value
    // type of that identity; null for "Null" (any case), an unknown name or
    // another value type.
    void* findFeatureValue(const char* name, int32_t valueType) const;
    template <typename T>
    T* findFeatureValue(const char* name) const {
        return static_cast<T*>(findFeatureValue(name, typeIdOf<T>()));
    }

    // --- Parameter access for the editor's controls (current program) ---
    // The steps of setParameter with a value that is not narrowed to float.
    void setParameterValue(int32_t index, double value);
    const ZEffectParameter* getParameterObject(int32_t index) const;
    double getStoredValue(int32_t index) const;
    double getNormalisedValue(int32_t index) const;
    double getRealValue(int32_t index) const;
    const char* getValueText(int32_t index) const;
    const char* getDisplayText(int32_t index) const;
    // A copy of the display text that is safe while another thread sets the
    // parameter (at most size bytes, always terminated).
    void copyDisplayText(int32_t index, char* out, int32_t size) const;

    // Asks an open editor to redraw; safe on the audio thread.
    void notifyEditor();

    int32_t getInputChannels() const { return inputChannels.load(std::memory_order_relaxed); }
    int32_t getOutputChannels() const { return outputChannels.load(std::memory_order_relaxed); }
    bool isEditorOpen() const { return editorOpen.load(); }
    bool isBypassed() const { return bypassed.load(std::memory_order_relaxed); }
    ZEditorBase* getEditorLink() const { return editorLink.load(); }
    const ParameterList& getParameters() const { return parameters; }
    ProgramBank& getPrograms() { return programs; }
    const ProgramBank& getPrograms() const { return programs; }
    int32_t getScratchCapacity() const { return scratchCapacity; }

    // The identity texts; not owned (a record that outlives the effect).
    // Set before the skin is built, whose labels may show them.
    void setIdentity(const ZIdentity* newIdentity) { identity = newIdentity; }
    VstInt32 getVendorVersion() override {
        return identity ? identity->vendorVersion : AudioEffectX::getVendorVersion();
    }

protected:
    // Destroys the editor (stopping its window thread) while the effect is
    // still whole; a concrete effect calls it first in its destructor.
    void releaseEditor();
    // Makes room for a float block of that shape; allocates only to grow.
    bool reserveScratch(int32_t frames, int32_t numInputs, int32_t numOutputs);

    // A zero-filled arrangement for n channels, never smaller than the
    // published record, so that a host copying the record stays inside it.
    static VstSpeakerArrangement* allocateArrangement(int32_t channels);
    static void freeArrangement(VstSpeakerArrangement* arrangement);
    static VstSpeakerArrangement* copyArrangement(const VstSpeakerArrangement* source);

    ParameterList parameters;
    ProgramBank programs;
    PtrMgr<ZEffectFeature> features;
    ZCommandMgr commands;
    std::atomic<bool> editorOpen{false};
    VstSpeakerArrangement* inputArrangement = nullptr;
    VstSpeakerArrangement* outputArrangement = nullptr;
    std::atomic<bool> bypassed{false};

    // Work area of processBlockFloat: channel c of the inputs starts at
    // c * frames, output channel c at (numInputs + c) * frames.
    double* scratch = nullptr;
    int32_t scratchCapacity = 0;
    double** scratchInputs = nullptr;
    double** scratchOutputs = nullptr;
    int32_t inputSlots = 0;
    int32_t outputSlots = 0;
    int32_t layoutFrames = -1;
    int32_t layoutInputs = -1;
    int32_t layoutOutputs = -1;

private:
    // Channel counts of the arrangements, readable from any thread.
    std::atomic<int32_t> inputChannels{0};
    std::atomic<int32_t> outputChannels{0};
    std::atomic<ZEditorBase*> editorLink{nullptr};
    const ZIdentity* identity = nullptr;
};

}  // namespace VRAX
