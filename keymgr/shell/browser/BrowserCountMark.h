// The high-water rule of the browser-process watch (timer 1226): the mark
// follows the largest count of browser processes seen; a count below it
// lowers the mark and reports that a browser closed.
#pragma once

class BrowserCountMark {
public:
    BrowserCountMark() : m_mark(0) {}
    bool Update(int count);

private:
    int m_mark;
};
