// The browser keys the host swallows: Ctrl+O, Ctrl+P and Ctrl+N.
#pragma once

inline bool SwallowAccelerator(bool ctrlDown, bool isKeyDown, bool oDown, bool pDown, bool nDown)
{
    return ctrlDown && isKeyDown && (oDown || pDown || nDown);
}
