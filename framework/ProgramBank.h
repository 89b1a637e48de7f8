// The effect's programs: for each, a 25-byte name and one stored value per
// parameter, plus the value and display texts of every stored value for the
// host and the editor.
//
// The values cross threads (the audio thread and the editor's read them
// while the host's or the editor's write them), so each lives in a naturally
// aligned 8-byte slot that is only ever moved whole. The state chunk keeps
// its own byte layout and is built from the slots when the host asks for it:
// per program the name (24 characters, zero-terminated, zero-filled) at 0,
// then each parameter's value directly after the previous one (8 bytes for
// range parameters), unaligned, in the machine's byte order.
//
// Setting a value from the audio thread only marks its texts stale; they are
// rebuilt by whoever reads them next, on that reader's thread.
#pragma once

#include "framework/PtrList.h"
#include "framework/ZEffectParameter.h"

#include <atomic>
#include <cstdint>

namespace VRAX {

class ProgramBank {
public:
    using ParameterList = PtrList<const ZEffectParameter>;

    static constexpr int32_t kNameSize = 25;
    static constexpr int32_t kMaxNameLength = 24;
    static constexpr int32_t kValueTextSize = 276;
    static constexpr int32_t kDisplayTextSize = 285;

    ProgramBank() = default;
    ~ProgramBank();
    ProgramBank(const ProgramBank&) = delete;
    ProgramBank& operator=(const ProgramBank&) = delete;

    // Lays the bank out for `programs` programs over the parameters (which
    // must all be in the list already) and fills it with defaults. False
    // when it cannot be allocated; the bank is then empty.
    bool setUp(int32_t programs, const ParameterList* parameterList);
    // Every program named "Defaults", every value its parameter's default.
    void fillDefaults();
    void release();

    bool isValid(int32_t program) const { return program >= 0 && program < numPrograms; }
    bool isValid(int32_t program, int32_t parameter) const {
        return isValid(program) && parameter >= 0 && parameter < numParams;
    }

    // Address of a stored value (an aligned slot); null outside the bank.
    void* valueAddress(int32_t program, int32_t parameter) const;
    // Rebuilds the value and display texts of one stored value / of all.
    void refreshTexts(int32_t program, int32_t parameter);
    void refreshAllTexts();
    // The stored value changed: its texts are rebuilt when next read. Safe
    // on the audio thread (one atomic store).
    void markStale(int32_t program, int32_t parameter);

    // The 25-byte name field of a program; null outside the bank.
    char* programName(int32_t program) const;
    // Sets at most 24 characters of a program's name, the rest zero.
    void setProgramName(int32_t program, const char* text);
    // Texts of a stored value, rebuilt first when stale; an empty text
    // outside the bank. For the thread that owns the bank's set-up and
    // tests; readers on other threads use the copies below.
    const char* valueText(int32_t program, int32_t parameter) const;
    const char* displayText(int32_t program, int32_t parameter) const;
    // The same texts made afresh from the stored value into out (at most
    // size bytes, always terminated): never torn, whatever another thread
    // is setting at the time.
    void copyValueText(int32_t program, int32_t parameter, char* out, int32_t size) const;
    void copyDisplayText(int32_t program, int32_t parameter, char* out, int32_t size) const;

    // Overwrites one program from a `recordLength`-byte record (which may be
    // one this bank handed out); each stored value is written whole.
    void copyRecord(int32_t program, const unsigned char* source);
    // The saved state built from the current values: the whole bank
    // (`totalLength` bytes) or one program's record (`recordLength`). Each
    // kind has its own buffer, which stays as it is until the next call of
    // that kind; null when the bank or the program does not exist.
    const unsigned char* saveBank();
    const unsigned char* saveProgram(int32_t program);

    // The parameter of index j, or null; first parameter whose name equals
    // the text ignoring case, or -1.
    const ZEffectParameter* parameter(int32_t j) const;
    int32_t findParameter(const char* name) const;

    int32_t getNumPrograms() const { return numPrograms; }
    int32_t getNumParams() const { return numParams; }
    int32_t getNumValues() const { return numValues; }
    int32_t getRecordLength() const { return recordLength; }
    int32_t getTotalLength() const { return totalLength; }
    int32_t offsetOf(int32_t parameter) const;
    // Bytes of a parameter's value in a record.
    int32_t valueBytes(int32_t parameter) const;

private:
    int32_t numPrograms = 0;
    const ParameterList* parameters = nullptr;
    int32_t numParams = 0;
    int32_t numValues = 0;
    int32_t recordLength = 0;
    int32_t totalLength = 0;
    int32_t* offsets = nullptr;  // byte offset of each value in a record
    char* valueTexts = nullptr;
    char* displayTexts = nullptr;

    // 8-byte slots of program p: p * slotsPerProgram + slotOf[j] onwards.
    int32_t slotsPerProgram = 0;
    int32_t* slotOf = nullptr;
    std::atomic<uint64_t>* slots = nullptr;
    char* names = nullptr;  // kNameSize bytes per program
    std::atomic<bool>* stale = nullptr;
    unsigned char* bankChunk = nullptr;
    unsigned char* programChunk = nullptr;

    int32_t entryOf(int32_t program, int32_t parameter) const { return program * numParams + parameter; }
    void writeRecord(int32_t program, unsigned char* record) const;
    void makeTexts(int32_t program, int32_t parameter, char* value, char* display) const;
};

}  // namespace VRAX
