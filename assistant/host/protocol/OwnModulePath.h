// The program file's own path in both forms the address rules compare.
#pragma once

#include "assistant/host/protocol/PageAddress.h"

#include <string>

// Empty forms when the system gives no path or it does not fit.
ModulePath OwnModulePath();

// A wide string as UTF-8 (empty when it is not well formed).
std::string Utf8Text(const wchar_t *text);
