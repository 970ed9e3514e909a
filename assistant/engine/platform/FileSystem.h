// The files the checks test and remove.
#pragma once

#include <string>

class IFileSystem {
public:
    virtual ~IFileSystem() {}
    virtual bool Exists(const std::string &path) = 0;
    // True when the file is gone afterwards (or never was there).
    virtual bool Remove(const std::string &path) = 0;
};
