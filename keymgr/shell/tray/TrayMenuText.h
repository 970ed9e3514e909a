// The first item of the tray menu: "<open> <product> <tool>(&O)".
#pragma once

#include <stddef.h>

void FormatTrayOpenItem(const char *open, const char *product, const char *tool, char *out, size_t size);

// The exit question: "<confirm> <product>".
void FormatExitQuestion(const char *confirm, const char *product, char *out, size_t size);
