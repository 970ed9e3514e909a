#include "keymgr/shell/defaultpin/DefaultPinTries.h"

#include "keymgr/shell/token/CurrentToken.h"

#include <string.h>

namespace {

std::string ReaderKey(const char *reader)
{
    return reader ? std::string(reader, strnlen(reader, READER_NAME_SIZE)) : std::string();
}

} // namespace

void DefaultPinTries::Arm(const char *reader)
{
    std::string key = ReaderKey(reader);
    if (key.empty())
        return;
    std::lock_guard<std::mutex> hold(m_lock);
    m_armed.insert(key);
}

bool DefaultPinTries::Take(const char *reader)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_armed.erase(ReaderKey(reader)) != 0;
}

DefaultPinTries &PendingDefaultPinTries()
{
    static DefaultPinTries tries;
    return tries;
}

bool DefaultPinMayBeTried(bool retriesRead, uint32_t retries)
{
    return retriesRead && retries > 1;
}
