#include "assistant/engine/UrlDownloader.h"

#include "common/BoundedCopy.h"

#include <objbase.h>
#include <urlmon.h>
#include <wininet.h>

namespace {
// Shared by the waiting caller and the download thread; the last one frees it.
struct DownloadJob {
    LONG refs;
    char url[2048];
    char path[MAX_PATH];
    HRESULT result;
};

void ReleaseJob(DownloadJob *job)
{
    if (InterlockedDecrement(&job->refs) == 0)
        delete job;
}

DWORD WINAPI DownloadThread(LPVOID param)
{
    DownloadJob *job = static_cast<DownloadJob *>(param);
    HRESULT init = CoInitialize(NULL);
    job->result = URLDownloadToFileA(NULL, job->url, job->path, 0, NULL);
    if (SUCCEEDED(init))
        CoUninitialize();
    ReleaseJob(job);
    return 0;
}
}

bool CUrlDownloader::IsConnected()
{
    return InternetGetConnectedState(NULL, 0) != FALSE;
}

void CUrlDownloader::ForgetCached(const std::string &url)
{
    DeleteUrlCacheEntryA(url.c_str());
}

DownloadStatus CUrlDownloader::Download(const std::string &url, const std::string &path)
{
    if (url.size() >= sizeof(DownloadJob::url) || path.size() >= sizeof(DownloadJob::path))
        return DownloadStatus::Failed;
    DownloadJob *job = new DownloadJob();
    job->refs = 2;
    job->result = E_FAIL;
    CopyBounded(job->url, sizeof(job->url), url.c_str());
    CopyBounded(job->path, sizeof(job->path), path.c_str());
    HANDLE thread = CreateThread(NULL, 0, DownloadThread, job, 0, NULL);
    if (!thread) {
        delete job;
        return DownloadStatus::Failed;
    }
    DownloadStatus status = DownloadStatus::TimedOut;
    if (WaitForSingleObject(thread, m_waitMs) == WAIT_OBJECT_0)
        status = SUCCEEDED(job->result) ? DownloadStatus::Ok : DownloadStatus::Failed;
    CloseHandle(thread);
    ReleaseJob(job);
    return status;
}
