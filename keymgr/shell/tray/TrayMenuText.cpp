#include "keymgr/shell/tray/TrayMenuText.h"

#include <stdio.h>

void FormatTrayOpenItem(const char *open, const char *product, const char *tool, char *out, size_t size)
{
    if (out && size)
        snprintf(out, size, "%s %s %s(&O)", open ? open : "", product ? product : "", tool ? tool : "");
}

void FormatExitQuestion(const char *confirm, const char *product, char *out, size_t size)
{
    if (out && size)
        snprintf(out, size, "%s %s", confirm ? confirm : "", product ? product : "");
}
