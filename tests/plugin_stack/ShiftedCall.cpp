#include "plugin_stack/ShiftedCall.h"

#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <initializer_list>

#if defined(__i386__)
// shifted_call(shift, function, arguments, bytes): copies `bytes` of
// arguments onto a stack whose pointer is `shift` past a 16-byte boundary and
// calls `function` there. What the callee returns in eax/edx or on the x87
// stack passes through untouched, so the one body serves every return type
// under the names below.
asm(R"(
    .text
    .p2align 4
    .globl qtest_shifted_call_word
    .hidden qtest_shifted_call_word
    .type qtest_shifted_call_word, @function
    .globl qtest_shifted_call_float
    .hidden qtest_shifted_call_float
    .type qtest_shifted_call_float, @function
qtest_shifted_call_word:
qtest_shifted_call_float:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 20(%ebp), %ecx
    movl %esp, %eax
    subl %ecx, %eax
    subl $16, %eax
    andl $-16, %eax
    addl 8(%ebp), %eax
    movl %eax, %esp
    movl 16(%ebp), %esi
    movl %esp, %edi
    cld
    rep movsb
    call *12(%ebp)
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
    .size qtest_shifted_call_word, .-qtest_shifted_call_word
    .size qtest_shifted_call_float, .-qtest_shifted_call_float

    .p2align 4
    .globl qtest_stack_probe
    .hidden qtest_stack_probe
    .type qtest_stack_probe, @function
qtest_stack_probe:
    leal 4(%esp), %eax
    andl $15, %eax
    ret
    .size qtest_stack_probe, .-qtest_stack_probe
)");

extern "C" {
uint32_t qtest_shifted_call_word(unsigned shift, const void* function, const void* arguments, unsigned bytes);
float qtest_shifted_call_float(unsigned shift, const void* function, const void* arguments, unsigned bytes);
unsigned qtest_stack_probe();
}
#endif

namespace qtest {

namespace {

#if defined(__i386__)
// Every argument of these calls is one 4-byte stack slot.
struct Arguments {
    Arguments(std::initializer_list<uint32_t> list) : count(static_cast<unsigned>(list.size())) {
        std::memcpy(words, list.begin(), list.size() * sizeof(uint32_t));
    }
    uint32_t words[8] = {};
    unsigned count;
};

uint32_t word(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
uint32_t word(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof(w));
    return w;
}
uint32_t word(int32_t i) { return static_cast<uint32_t>(i); }

template <typename Function>
uint32_t callWord(unsigned shift, Function function, const Arguments& a) {
    return qtest_shifted_call_word(shift, reinterpret_cast<const void*>(function), a.words, a.count * 4);
}
#endif

}  // namespace

#if defined(__i386__)

AEffect* shiftedEntry(unsigned shift, EntryProc entry, audioMasterCallback callback) {
    return reinterpret_cast<AEffect*>(callWord(shift, entry, {word(reinterpret_cast<const void*>(callback))}));
}

VstIntPtr shiftedDispatch(unsigned shift, AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                          void* ptr, float opt) {
    return static_cast<VstIntPtr>(callWord(shift, effect->dispatcher,
                                           {word(effect), word(opcode), word(index), word(value), word(ptr), word(opt)}));
}

void shiftedProcess(unsigned shift, AEffectProcessProc proc, AEffect* effect, float** inputs, float** outputs,
                    VstInt32 frames) {
    callWord(shift, proc, {word(effect), word(inputs), word(outputs), word(frames)});
}

void shiftedProcessDouble(unsigned shift, AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
    callWord(shift, effect->processDoubleReplacing, {word(effect), word(inputs), word(outputs), word(frames)});
}

void shiftedSetParameter(unsigned shift, AEffect* effect, VstInt32 index, float value) {
    callWord(shift, effect->setParameter, {word(effect), word(index), word(value)});
}

float shiftedGetParameter(unsigned shift, AEffect* effect, VstInt32 index) {
    const Arguments a{word(effect), word(index)};
    return qtest_shifted_call_float(shift, reinterpret_cast<const void*>(effect->getParameter), a.words, a.count * 4);
}

void* shiftedDlopen(unsigned shift, const char* path, int flags) {
    return reinterpret_cast<void*>(callWord(shift, &dlopen, {word(path), word(flags)}));
}

int shiftedDlclose(unsigned shift, void* handle) {
    return static_cast<int>(callWord(shift, &dlclose, {word(handle)}));
}

unsigned measuredShift(unsigned shift) { return callWord(shift, &qtest_stack_probe, {}); }

unsigned stackShiftHere() { return qtest_stack_probe(); }

#else

// The x86_64 convention always aligns the stack: calls are made directly.
AEffect* shiftedEntry(unsigned, EntryProc entry, audioMasterCallback callback) { return entry(callback); }

VstIntPtr shiftedDispatch(unsigned, AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                          float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void shiftedProcess(unsigned, AEffectProcessProc proc, AEffect* effect, float** inputs, float** outputs,
                    VstInt32 frames) {
    proc(effect, inputs, outputs, frames);
}

void shiftedProcessDouble(unsigned, AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
    effect->processDoubleReplacing(effect, inputs, outputs, frames);
}

void shiftedSetParameter(unsigned, AEffect* effect, VstInt32 index, float value) {
    effect->setParameter(effect, index, value);
}

float shiftedGetParameter(unsigned, AEffect* effect, VstInt32 index) { return effect->getParameter(effect, index); }

void* shiftedDlopen(unsigned, const char* path, int flags) { return dlopen(path, flags); }

int shiftedDlclose(unsigned, void* handle) { return dlclose(handle); }

unsigned measuredShift(unsigned) { return 0; }

unsigned stackShiftHere() { return 0; }

#endif

}  // namespace qtest
