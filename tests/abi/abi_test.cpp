// Our VST 2.4 records against an independent third-party declaration of the
// same interface, for the pointer width of this build.
#include "host/VstTypes.h"

#include <cstddef>

#ifndef __cdecl
#define __cdecl
#endif
#include "xaymar-vst2/vst.h"

#include <gtest/gtest.h>

#define SAME_FIELD(ours, theirs, a, b) \
    static_assert(offsetof(ours, a) == offsetof(theirs, b), #ours "::" #a " is not where " #theirs " has it")

static_assert(sizeof(AEffect) == sizeof(vst_effect), "AEffect size");
SAME_FIELD(AEffect, vst_effect, magic, magic_number);
SAME_FIELD(AEffect, vst_effect, dispatcher, control);
SAME_FIELD(AEffect, vst_effect, process, process);
SAME_FIELD(AEffect, vst_effect, setParameter, set_parameter);
SAME_FIELD(AEffect, vst_effect, getParameter, get_parameter);
SAME_FIELD(AEffect, vst_effect, numPrograms, num_programs);
SAME_FIELD(AEffect, vst_effect, numParams, num_params);
SAME_FIELD(AEffect, vst_effect, numInputs, num_inputs);
SAME_FIELD(AEffect, vst_effect, numOutputs, num_outputs);
SAME_FIELD(AEffect, vst_effect, flags, flags);
SAME_FIELD(AEffect, vst_effect, resvd1, _unknown_ptr_00);
SAME_FIELD(AEffect, vst_effect, initialDelay, delay);
SAME_FIELD(AEffect, vst_effect, realQualities, _unknown_int32_00);
SAME_FIELD(AEffect, vst_effect, ioRatio, _unknown_float_00);
SAME_FIELD(AEffect, vst_effect, object, effect_internal);
SAME_FIELD(AEffect, vst_effect, user, host_internal);
SAME_FIELD(AEffect, vst_effect, uniqueID, unique_id);
SAME_FIELD(AEffect, vst_effect, version, version);
SAME_FIELD(AEffect, vst_effect, processReplacing, process_float);
SAME_FIELD(AEffect, vst_effect, processDoubleReplacing, process_double);
SAME_FIELD(AEffect, vst_effect, future, _unknown);

static_assert(sizeof(ERect) == sizeof(vst_rect), "ERect size");
SAME_FIELD(ERect, vst_rect, top, top);
SAME_FIELD(ERect, vst_rect, left, left);
SAME_FIELD(ERect, vst_rect, bottom, bottom);
SAME_FIELD(ERect, vst_rect, right, right);

static_assert(sizeof(VstSpeakerProperties) == sizeof(vst_speaker_properties), "speaker size");
static_assert(sizeof(VstSpeakerProperties) == 112, "speaker record is 112 bytes");
SAME_FIELD(VstSpeakerProperties, vst_speaker_properties, azimuth, _unknown_00);
SAME_FIELD(VstSpeakerProperties, vst_speaker_properties, name, name);
SAME_FIELD(VstSpeakerProperties, vst_speaker_properties, type, type);
SAME_FIELD(VstSpeakerProperties, vst_speaker_properties, future, _unknown);

// The third-party arrangement record types its first field with an enum whose
// enumerators span -2 to 0xFFFFFFFF, which GCC widens to 8 bytes; only its
// speaker records are usable for comparison. The published layout is a
// 32-bit type, a 32-bit count and the speaker records right after them.
static_assert(offsetof(VstSpeakerArrangement, type) == 0, "arrangement type first");
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4, "channel count second");
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "speakers follow type and count");
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * sizeof(vst_speaker_properties), "room for 8 speakers");

TEST(Abi, PointerWidthOfThisBuild) {
    // Both builds must agree with the third-party layout; the record's size
    // tells which one ran.
    if (sizeof(void*) == 4)
        EXPECT_EQ(sizeof(AEffect), 144u);
    else
        EXPECT_EQ(sizeof(AEffect), 192u);
}

TEST(Abi, OpcodeNumbersOfTheHostInterface) {
    EXPECT_EQ(effGetChunk, 23);
    EXPECT_EQ(effCanBeAutomated, 26);
    EXPECT_EQ(effGetPlugCategory, 35);
    EXPECT_EQ(effSetSpeakerArrangement, 42);
    EXPECT_EQ(effCanDo, 51);
    EXPECT_EQ(effGetVstVersion, 58);
    EXPECT_EQ(effGetSpeakerArrangement, 69);
    EXPECT_EQ(effGetNumMidiOutputChannels, 79);
    EXPECT_EQ(audioMasterGetSampleRate, 16);
    EXPECT_EQ(audioMasterGetVendorString, 32);
    EXPECT_EQ(audioMasterCanDo, 37);
    EXPECT_EQ(audioMasterBeginEdit, 43);
    EXPECT_EQ(audioMasterEndEdit, 44);
    EXPECT_EQ(static_cast<int>(VST_EFFECT_OPCODE_17), effGetChunk);
}
