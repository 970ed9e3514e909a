// The system folders the checks name files in.
#pragma once

#include <string>

// The Windows system directory, needed by the first vendor's path values.
class ISystemFolders {
public:
    virtual ~ISystemFolders() {}
    virtual std::string SystemDirectory() = 0;
};
