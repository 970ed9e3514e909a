// The assistant's test overrides. It runs as administrator, so they live
// where only administrators can write: REG_SZ values under a key of the
// local machine, one per override, never the user's environment.
#pragma once

#include "assistant/engine/platform/Registry.h"

#include <string>

// Under HKEY_LOCAL_MACHINE.
extern const char kTestHooksKey[];

// The override's text; empty when the key or value is missing, is not text,
// or does not fit (a cut value would name something else).
std::string ReadTestHook(IRegistry &registry, const char *name);
