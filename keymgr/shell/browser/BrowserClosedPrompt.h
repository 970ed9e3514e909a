// When the browser watch (timer 1226) asks the user to close the browser: the
// first time a browser closes while a token is in its reader, once for the
// program's life.
#pragma once

#include "keymgr/shell/browser/BrowserCountMark.h"

class BrowserClosedPrompt {
public:
    BrowserClosedPrompt() : m_shown(false) {}
    // A tick with the count of browser processes now. True at most once: the
    // prompt is marked as shown before this returns, since the box runs a
    // message loop in which the timer ticks on. A reader list or a token
    // state that cannot be read ends the tick with no prompt.
    bool Due(int browserCount);
    // Whether the browsers need counting at all: only while a prompt can
    // still follow (not shown yet, the prompt on, a token in). A watch that
    // pauses starts afresh: browsers that ended meanwhile are no drop.
    bool Watching(bool promptOn, bool tokenPresent);

private:
    BrowserCountMark m_mark;
    bool m_shown;
};
