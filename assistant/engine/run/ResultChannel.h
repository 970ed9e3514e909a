// Where a check sequence's findings and log lines go.
#pragma once

#include <string>

// One finding for the page: its function is called with code and second.
struct PageResult {
    std::string function;  // "frame.function", fixed for the whole run
    std::string code;
    std::string second;
};

// Carries one result to the page and returns once the page function has
// run, so results keep their order.
class IResultChannel {
public:
    virtual ~IResultChannel() {}
    virtual void Deliver(const PageResult &result) = 0;
};

class ILog {
public:
    virtual ~ILog() {}
    virtual void WriteLog(const char *text) = 0;
};
