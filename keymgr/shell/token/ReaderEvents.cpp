#include "keymgr/shell/token/ReaderEvents.h"

#include "keymgr/shell/token/CurrentToken.h"

#include <string.h>

#include <map>
#include <mutex>
#include <string>

namespace {

// The handlers write on the library's threads, the pages read on the window's.
std::mutex g_lock;
std::map<std::string, uint32_t> g_counts;

std::string Key(const char *reader)
{
    return reader ? std::string(reader, strnlen(reader, READER_NAME_SIZE)) : std::string();
}

} // namespace

void NoteReaderEvent(const char *reader)
{
    std::lock_guard<std::mutex> hold(g_lock);
    ++g_counts[Key(reader)];
}

uint32_t ReaderEventCount(const char *reader)
{
    std::lock_guard<std::mutex> hold(g_lock);
    std::map<std::string, uint32_t>::const_iterator it = g_counts.find(Key(reader));
    return it == g_counts.end() ? 0 : it->second;
}
