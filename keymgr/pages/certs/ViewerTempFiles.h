// The temporary files a certificate is shown from: each set goes when the
// viewer that was started on it ends, and whatever is left goes at exit.
#pragma once

#include <windows.h>

#include <list>
#include <string>
#include <vector>

class ViewerTempFiles {
public:
    ViewerTempFiles();
    ~ViewerTempFiles(); // removes every file still kept, viewers open or not

    // Takes the files of one view. With the viewer's process (taken over,
    // closed here) they are removed as soon as it ends; without one (the
    // system handed the file to a program already running) at exit.
    void Keep(const std::vector<std::string> &files, HANDLE viewer);
    void RemoveAll();

private:
    struct View {
        ViewerTempFiles *owner;
        std::vector<std::string> files;
        HANDLE process;
        HANDLE wait;
        bool removed;
    };
    static void CALLBACK ViewerEnded(void *view, BOOLEAN timedOut);
    void RemoveFiles(View &view);
    void ForgetEnded();

    CRITICAL_SECTION m_lock;
    std::list<View> m_views; // stable addresses: the waits hold them
};
