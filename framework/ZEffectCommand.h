// An action the editor asks the effect to perform, identified by the index
// the concrete effect gave it; the effect's executeCommand dispatches on it.
#pragma once

#include "framework/Named.h"
#include "framework/PtrList.h"

namespace VRAX {

class ZEffectCommand : public ZIdBase {
public:
    ZEffectCommand(const char* name, int32_t index) : ZIdBase(name), index(index) {}
    ~ZEffectCommand() override = default;

    int32_t typeId() const override { return typeIdOf<ZEffectCommand>(); }

    int32_t index;
};

// The effect's owning command list.
class ZCommandMgr : public PtrMgr<ZEffectCommand> {
public:
    ZCommandMgr() = default;
};

}  // namespace VRAX
