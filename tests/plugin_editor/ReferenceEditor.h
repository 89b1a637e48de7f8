// A reference picture of the editor, drawn by this test process: the skin
// builder, controls, canvas and window code (the same sources Qolm.so is
// made of) run over a copy of the embedded skin script in which the texts
// the plug-in would expand are written out. Labels cannot be read back
// through the host interface, so what the plug-in's window shows is compared
// with this picture instead: any other character in a line changes its ink.
//
// Only one editor window thread may run at a time across the plug-in and
// this process: each copy of the window code installs and restores the
// process-wide X error handler on its own, and interleaved they would leave
// one pointing into a library that is gone. Render references before the
// plug-in's editor opens or after it is closed.
#pragma once

#include "EditorSession.h"

#include <string>
#include <utility>
#include <vector>

namespace e2e {

class Pointer;

// The embedded skin script with every `from` replaced by its `to`; empty,
// with a reason in `problem`, when the script or one of the texts is missing.
std::string embeddedSkinWith(const std::vector<std::pair<std::string, std::string>>& replacements,
                             std::string* problem);

// Builds an editor from the script, opens it in a parent at (x, y), shows
// `page` by clicking its tab as a user would (so that the renderer sees the
// same sequence of drawing passes as in the plug-in), and returns what the
// window shows then; empty, with a reason, on failure. The editor is closed
// before it returns.
Picture renderReference(Display* display, const Picture& background, Pointer& pointer, const std::string& script,
                        int page, std::string* problem, int x = 0, int y = 0);

}  // namespace e2e
