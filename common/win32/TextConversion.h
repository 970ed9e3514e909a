// Conversions between the browser's wide strings and the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

std::string WideToAnsiText(const wchar_t *text, int length = -1);
std::wstring AnsiToWideText(const std::string &text);
