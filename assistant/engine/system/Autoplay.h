// Whether the system plays removable media on insertion.
#pragma once

#include "assistant/engine/platform/Registry.h"

enum AutoplayState { kAutoplayOn = 0, kAutoplayOff = 1, kAutoplayOffVistaOrLater = 2 };

// versionClass is the OSVersion class code.
int GetAutoplayState(IRegistry &registry, int versionClass);
