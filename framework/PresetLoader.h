// Reads a preset text into a program bank:
//   PRESET "name"                 selects the next program (the first one
//                                 selects program 0) and names it
//   SETSTR "parameter" "value"    sets a parameter of that program from a
//                                 real value in the parameter's unit
// Keywords ignore case; anything else, and lines for programs beyond the
// bank, are skipped without a message.
#pragma once

#include "framework/ProgramBank.h"
#include "io/InputReader.h"

namespace VRAX {

void loadPresets(ProgramBank& bank, XP::InputReader& input);

}  // namespace VRAX
