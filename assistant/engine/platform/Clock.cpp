#include "assistant/engine/platform/Clock.h"

#include <time.h>

std::string LocalClock::TimeStamp()
{
    time_t now = time(nullptr);
    struct tm *local = localtime(&now);
    char text[64];
    if (!local || strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", local) == 0)
        return std::string();
    return text;
}
