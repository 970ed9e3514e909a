// The time stamp of the full check's log lines.
#pragma once

#include <string>

class IClock {
public:
    virtual ~IClock() {}
    // Local time as "%Y-%m-%d %H:%M:%S"; empty when it cannot be converted.
    virtual std::string TimeStamp() = 0;
};

class LocalClock : public IClock {
public:
    std::string TimeStamp() override;
};
