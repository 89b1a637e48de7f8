// First level of the VST 2.4 effect classes: owns the AEffect record, the
// host callback and the editor, and dispatches opcodes 0 to 24.
#pragma once

#include "host/AEffEditor.h"
#include "host/VstTypes.h"

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    virtual float getSampleRate() { return sampleRate; }
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual VstInt32 getBlockSize() { return blockSize; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }

    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);  // deprecated, empty
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double**, double**, VstInt32) {}

    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0.0f; }
    virtual void setParameterAutomated(VstInt32 index, float value);

    virtual AEffect* getAeffect() { return &cEffect; }
    virtual void setEditor(AEffEditor* newEditor);
    virtual AEffEditor* getEditor() { return editor; }

    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) {
        if (name) *name = 0;
    }
    virtual void getParameterLabel(VstInt32, char* label) {
        if (label) *label = 0;
    }
    virtual void getParameterDisplay(VstInt32, char* text) {
        if (text) *text = 0;
    }
    virtual void getParameterName(VstInt32, char* text) {
        if (text) *text = 0;
    }
    virtual VstInt32 getChunk(void**, bool = false) { return 0; }
    virtual VstInt32 setChunk(void*, VstInt32, bool = false) { return 0; }

    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state = true);
    virtual void canDoubleReplacing(bool state = true);
    virtual void programsAreChunks(bool state = true);
    virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

    virtual VstInt32 getMasterVersion();
    virtual VstInt32 getCurrentUniqueId();
    virtual void masterIdle();

    audioMasterCallback getHostCallback() const { return audioMaster; }
    VstInt32 getNumPrograms() const { return numPrograms; }
    VstInt32 getNumParams() const { return numParams; }

    // Static trampolines stored in the record.
    QOLM_HOST_ENTRY static VstIntPtr dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                                         VstIntPtr value, void* ptr, float opt);
    QOLM_HOST_ENTRY static void processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
    QOLM_HOST_ENTRY static void processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                                      VstInt32 sampleFrames);
    QOLM_HOST_ENTRY static void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                                            VstInt32 sampleFrames);
    QOLM_HOST_ENTRY static void setParameterClass(AEffect* e, VstInt32 index, float value);
    QOLM_HOST_ENTRY static float getParameterClass(AEffect* e, VstInt32 index);

protected:
    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};
