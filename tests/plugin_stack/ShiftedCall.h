// Calls into the plug-in as a host whose stack is only 4-byte aligned makes
// them: the stack pointer at the call is `shift` bytes past a 16-byte
// boundary. Only the 32-bit build can do this (the x86_64 convention has no
// such hosts); there every call is made directly and `shift` must be 0.
#pragma once

#include "support/PluginHost.h"

namespace qtest {

#if defined(__i386__)
constexpr bool kCanShiftStack = true;
#else
constexpr bool kCanShiftStack = false;
#endif

using EntryProc = PluginHost::EntryProc;

AEffect* shiftedEntry(unsigned shift, EntryProc entry, audioMasterCallback callback);
VstIntPtr shiftedDispatch(unsigned shift, AEffect* effect, VstInt32 opcode, VstInt32 index = 0,
                          VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
void shiftedProcess(unsigned shift, AEffectProcessProc proc, AEffect* effect, float** inputs, float** outputs,
                    VstInt32 frames);
void shiftedProcessDouble(unsigned shift, AEffect* effect, double** inputs, double** outputs, VstInt32 frames);
void shiftedSetParameter(unsigned shift, AEffect* effect, VstInt32 index, float value);
float shiftedGetParameter(unsigned shift, AEffect* effect, VstInt32 index);
// dlopen and dlclose, which run the library's initialisers and finalisers.
void* shiftedDlopen(unsigned shift, const char* path, int flags);
int shiftedDlclose(unsigned shift, void* handle);

// The stack pointer's distance from a 16-byte boundary at a call made
// through the shim: what the shim is meant to produce.
unsigned measuredShift(unsigned shift);
// The same for a call made from here, by the compiler's own code.
unsigned stackShiftHere();

}  // namespace qtest
