// The assistant's test overrides. It runs as administrator, so they live
// where only administrators can write: REG_SZ values under a key of the
// local machine, one per override, never the user's environment. Only test
// builds (ORVANE_TEST_HOOKS) read them: a release build carries no reader,
// so a value left behind on a machine changes nothing.
#pragma once

#include "assistant/engine/platform/Registry.h"

#include <string>

#ifdef ORVANE_TEST_HOOKS

// Under HKEY_LOCAL_MACHINE.
extern const char kTestHooksKey[];

// The override's text; empty when the key or value is missing, is not text,
// or does not fit (a cut value would name something else).
std::string ReadTestHook(IRegistry &registry, const char *name);

// A bound in milliseconds that a test may only shorten: the override when it
// is all digits, above zero and below fallback, else fallback.
unsigned long ReadTestHookLimit(IRegistry &registry, const char *name, unsigned long fallback);

#else

inline std::string ReadTestHook(IRegistry &, const char *)
{
    return std::string();
}

inline unsigned long ReadTestHookLimit(IRegistry &, const char *, unsigned long fallback)
{
    return fallback;
}

#endif
