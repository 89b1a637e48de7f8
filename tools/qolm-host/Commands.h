#pragma once

#include <string>
#include <vector>

namespace qhost {

using Args = std::vector<std::string>;

// Each command prints its result or a clear message; non-zero exit on failure.
int runInfo(const Args& args);
int runRender(const Args& args);
int runScreenshot(const Args& args);
int runSkinCheck(const Args& args);

// The default plug-in: the Qolm.so built next to this tool.
std::string defaultPluginPath();

}  // namespace qhost
