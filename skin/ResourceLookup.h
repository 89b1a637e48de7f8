// Finding a skin resource by name for a later script line: "Null" (in any
// letter case) means none; otherwise the first resource with the name
// (case-sensitive, first 35 characters) is the only candidate, and it must be
// of the kind asked for.
#pragma once

#include "framework/PtrList.h"
#include "skin/ZEditorResource.h"

namespace VRAX {

class ZFont;
class ZImageResource;

bool isNullName(const char* name);

ZEditorResource* findResource(const PtrList<ZEditorResource>& resources, const char* name, int32_t typeId);
ZImageResource* findImage(const PtrList<ZEditorResource>& resources, const char* name);
// The font of a font resource.
ZFont* findFont(const PtrList<ZEditorResource>& resources, const char* name);
// The four colour bytes of a colour resource.
const unsigned char* findColour(const PtrList<ZEditorResource>& resources, const char* name);

}  // namespace VRAX
