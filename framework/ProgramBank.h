// The effect's programs: for each, a 25-byte name and one stored value per
// parameter, laid out byte for byte as the state chunk the host saves, plus
// the value and display texts of every stored value kept ready for the host
// and the editor.
//
// Record layout: name (24 characters, zero-terminated, zero-filled) at 0,
// then each parameter's value directly after the previous one (8 bytes for
// range parameters), unaligned, in the machine's byte order.
#pragma once

#include "framework/PtrList.h"
#include "framework/ZEffectParameter.h"

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

    // Address of a stored value; null outside the bank.
    void* valueAddress(int32_t program, int32_t parameter) const;
    // Rebuilds the value and display texts of one stored value / of all.
    void refreshTexts(int32_t program, int32_t parameter);
    void refreshAllTexts();

    // The 25-byte name field of a program; null outside the bank.
    char* programName(int32_t program) const;
    // Sets at most 24 characters of a program's name, the rest zero.
    void setProgramName(int32_t program, const char* text);
    // Texts of a stored value; an empty text outside the bank.
    const char* valueText(int32_t program, int32_t parameter) const;
    const char* displayText(int32_t program, int32_t parameter) const;
    // The same copied into out (at most size bytes, always terminated), for
    // readers on another thread than the one that may be rebuilding them:
    // the copy may mix the old and the new text but is never torn inside a
    // character and never runs past its entry.
    void copyValueText(int32_t program, int32_t parameter, char* out, int32_t size) const;
    void copyDisplayText(int32_t program, int32_t parameter, char* out, int32_t size) const;

    // Overwrites one record from `recordLength` bytes; each stored value is
    // written whole, so a concurrent reader never sees half of one.
    void copyRecord(int32_t program, const unsigned char* source);

    // The parameter of index j, or null; first parameter whose name equals
    // the text ignoring case, or -1.
    const ZEffectParameter* parameter(int32_t j) const;
    int32_t findParameter(const char* name) const;

    unsigned char* data() const { return records; }
    unsigned char* recordAddress(int32_t program) const;
    int32_t getNumPrograms() const { return numPrograms; }
    int32_t getNumParams() const { return numParams; }
    int32_t getNumValues() const { return numValues; }
    int32_t getRecordLength() const { return recordLength; }
    int32_t getTotalLength() const { return totalLength; }
    int32_t offsetOf(int32_t parameter) const;

private:
    int32_t numPrograms = 0;
    const ParameterList* parameters = nullptr;
    int32_t numParams = 0;
    int32_t numValues = 0;
    unsigned char* records = nullptr;
    int32_t recordLength = 0;
    int32_t totalLength = 0;
    int32_t* offsets = nullptr;
    char* valueTexts = nullptr;
    char* displayTexts = nullptr;
};

}  // namespace VRAX
