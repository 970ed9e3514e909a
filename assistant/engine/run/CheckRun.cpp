#include "assistant/engine/run/CheckRun.h"

#include <stdio.h>

void CheckRun::ReportResult(const char *code, int number)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", number);
    ReportResult(code, text);
}

void CheckRun::ReportResult(const char *code, const char *text)
{
    m_channel.Deliver(PageResult{m_function, code ? code : "", text ? text : ""});
}
