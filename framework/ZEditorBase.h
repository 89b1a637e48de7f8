// What the effect needs to know of its editor: who owns it and how to ask it
// for a (throttled) redraw. The real editor derives from this, so that the
// framework never depends on the window or drawing code.
#pragma once

#include "host/AEffEditor.h"

namespace VRAX {

class ZEffect;

class ZEditorBase : public AEffEditor {
public:
    explicit ZEditorBase(ZEffect* owner);
    ~ZEditorBase() override = default;

    virtual ZEffect* getOwnerEffect() { return owner; }
    // Called by the effect's notifyEditor while the editor is open, also from
    // the audio thread: must not block, lock or allocate.
    virtual void refresh() = 0;

protected:
    ZEffect* owner;
};

}  // namespace VRAX
