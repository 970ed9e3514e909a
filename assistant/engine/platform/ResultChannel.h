// Where a check sequence's findings and log lines go.
#pragma once

// Carries ScriptArgs to the page and returns once the page function has run.
class IResultChannel {
public:
    virtual ~IResultChannel() {}
    virtual void DeliverScriptArgs() = 0;
};

class ILog {
public:
    virtual ~ILog() {}
    virtual void WriteLog(const char *text) = 0;
};
