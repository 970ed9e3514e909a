#include "assistant/engine/run/TestHooks.h"

#include <cstdlib>

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

unsigned long ReadTestHookLimit(IRegistry &registry, const char *name, unsigned long fallback)
{
    std::string text = ReadTestHook(registry, name);
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return fallback;
    unsigned long value = strtoul(text.c_str(), nullptr, 10);
    return value > 0 && value < fallback ? value : fallback;
}

#endif
