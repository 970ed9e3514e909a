#include "assistant/engine/run/TestHooks.h"

#ifdef ORVANE_TEST_HOOKS

const char kTestHooksKey[] = "Software\\Orvane_Assistant\\TestHooks";

std::string ReadTestHook(IRegistry &registry, const char *name)
{
    std::unique_ptr<IRegistryKey> key = registry.OpenKey(kRootLocalMachine, kTestHooksKey);
    char text[2048];
    if (!key || !ReadRegistryString(*key, name, text, sizeof(text)))
        return std::string();
    return text;
}

#endif
