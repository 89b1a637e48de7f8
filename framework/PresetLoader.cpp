#include "framework/PresetLoader.h"

#include "io/TokenReader.h"

namespace VRAX {

void loadPresets(ProgramBank& bank, XP::InputReader& input) {
    if (!input.isOpen()) return;
    XP::TokenReader tokens(&input);
    const int32_t programs = bank.getNumPrograms();
    // -1 until the first PRESET line; stops at `programs` once the file has
    // run past the bank, so that later lines are ignored.
    int32_t program = -1;
    while (tokens.readLine()) {
        if (tokens.tokenCount < 1) continue;
        if (tokens.tokenEquals(0, "PRESET") && tokens.tokenCount > 1) {
            if (program < programs) ++program;
            const char* name = tokens.token(1);
            if (program < programs && name[0]) bank.setProgramName(program, name);
        } else if (tokens.tokenEquals(0, "SETSTR") && tokens.tokenCount > 2) {
            if (program < 0 || program >= programs) continue;
            const int32_t j = bank.findParameter(tokens.token(1));
            const ZEffectParameter* param = bank.parameter(j);
            if (!param) continue;
            param->setFromText(bank.valueAddress(program, j), tokens.token(2));
            bank.refreshTexts(program, j);
        }
    }
}

}  // namespace VRAX
