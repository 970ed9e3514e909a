#include "keymgr/pages/certs/ViewerTempFiles.h"

#include "common/win32/CriticalSectionHold.h"

ViewerTempFiles::ViewerTempFiles()
{
    InitializeCriticalSection(&m_lock);
}

ViewerTempFiles::~ViewerTempFiles()
{
    RemoveAll();
    DeleteCriticalSection(&m_lock);
}

void ViewerTempFiles::Keep(const std::vector<std::string> &files, HANDLE viewer)
{
    ForgetEnded();
    CCriticalSectionHold hold(m_lock);
    m_views.push_back(View{this, files, viewer, NULL, false});
    View &view = m_views.back();
    if (viewer && !RegisterWaitForSingleObject(&view.wait, viewer, &ViewerTempFiles::ViewerEnded, &view, INFINITE,
                                               WT_EXECUTEONLYONCE))
        view.wait = NULL;
}

void CALLBACK ViewerTempFiles::ViewerEnded(void *param, BOOLEAN)
{
    View *view = static_cast<View *>(param);
    CCriticalSectionHold hold(view->owner->m_lock);
    view->owner->RemoveFiles(*view);
}

void ViewerTempFiles::RemoveFiles(View &view)
{
    // The ".cer" before the unique name it was made beside, so that the
    // name is not handed out again while its ".cer" is still there.
    for (size_t i = view.files.size(); i-- > 0;)
        DeleteFileA(view.files[i].c_str());
    view.removed = true;
}

void ViewerTempFiles::ForgetEnded()
{
    std::list<View> ended;
    {
        CCriticalSectionHold hold(m_lock);
        for (std::list<View>::iterator it = m_views.begin(); it != m_views.end();) {
            std::list<View>::iterator next = it;
            ++next;
            if (it->removed)
                ended.splice(ended.end(), m_views, it);
            it = next;
        }
    }
    // Outside the lock: waiting for a callback that wants it would never end.
    for (View &view : ended) {
        if (view.wait)
            UnregisterWaitEx(view.wait, INVALID_HANDLE_VALUE);
        if (view.process)
            CloseHandle(view.process);
    }
}

void ViewerTempFiles::RemoveAll()
{
    std::list<View> all;
    {
        CCriticalSectionHold hold(m_lock);
        all.splice(all.end(), m_views);
    }
    for (View &view : all) {
        if (view.wait)
            UnregisterWaitEx(view.wait, INVALID_HANDLE_VALUE);
        if (!view.removed)
            RemoveFiles(view);
        if (view.process)
            CloseHandle(view.process);
    }
}
