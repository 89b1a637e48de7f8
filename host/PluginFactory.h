// The one thing the entry point needs from the plug-in: something that makes
// the effect (with its editor, when it has one). Defined by the plug-in, so
// that host/ depends on nothing above it.
#pragma once

#include "host/VstTypes.h"

class AudioEffect;

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
