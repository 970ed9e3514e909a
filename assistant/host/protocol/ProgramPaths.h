// Addresses and files derived from the program's own path.
#pragma once

#include <string>

// "res://<path>/index.htm": the start page inside the program's resources.
std::string StartPageUrl(const std::string &programPath);

// <program folder>\images\test.gif, the file the protocol object serves;
// empty when the path has no folder.
std::string ProtocolFilePath(const std::string &programPath);

// The path in double quotes, as the registrar scripts' %MODULE%.
std::string QuotedModulePath(const std::string &programPath);
