#include "framework/ZEditorBase.h"

#include "framework/ZEffect.h"

namespace VRAX {

ZEditorBase::ZEditorBase(ZEffect* owner) : AEffEditor(owner), owner(owner) {}

}  // namespace VRAX
