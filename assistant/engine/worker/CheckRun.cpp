#include "assistant/engine/worker/CheckRun.h"

#include <stdio.h>

void CheckRun::ReportResult(const char *code, int number)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", number);
    ReportResult(code, text);
}

void CheckRun::ReportResult(const char *code, const char *text)
{
    m_state.ScriptArgs.clear();
    m_state.ScriptArgs.push_back(code ? code : "");
    m_state.ScriptArgs.push_back(text ? text : "");
    m_channel.DeliverScriptArgs();
}
