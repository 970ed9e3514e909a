// What a check sequence uses to talk back: results for the page, the log,
// and the run state it may have to release early.
#pragma once

#include "assistant/engine/run/CommandState.h"
#include "assistant/engine/run/ResultChannel.h"

#include <string>

class CheckRun {
public:
    // Takes the state's page function for every result of this run.
    CheckRun(CommandState &state, IResultChannel &channel, ILog &log)
        : m_state(state), m_channel(channel), m_log(log), m_function(state.ScriptFunction) {}

    void ReportResult(const char *code, int number);
    void ReportResult(const char *code, const char *text);
    void WriteLog(const char *text) { m_log.WriteLog(text ? text : ""); }
    void ClearBusy() { m_state.Busy = 0; }
    int Vendor() const { return m_state.Vendor; }
    CommandState &State() { return m_state; }
    ILog &LogSink() { return m_log; }

private:
    CommandState &m_state;
    IResultChannel &m_channel;
    ILog &m_log;
    std::string m_function;
};
