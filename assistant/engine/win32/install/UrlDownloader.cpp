#include "assistant/engine/win32/install/UrlDownloader.h"

#include "common/BoundedCopy.h"

#include <objbase.h>
#include <urlmon.h>
#include <wininet.h>

#include <stdio.h>

namespace {
enum { kRunning, kCompleted, kFailedTransfer, kAbandoned };

// Shared by the waiting caller and the transfer thread; the last one frees it.
struct DownloadJob {
    LONG refs;
    char url[2048];
    char part[MAX_PATH];
    // Who decides the file's fate: the thread (completed or failed) or the
    // caller (abandoned), whichever leaves kRunning first.
    volatile LONG state;
    volatile LONG lastByteTick;
    ULONG bytes;
};

void ReleaseJob(DownloadJob *job)
{
    if (InterlockedDecrement(&job->refs) == 0)
        delete job;
}

// Notes each byte that arrives and cancels the binding once the caller has
// given the transfer up.
class CTransferCallback : public IBindStatusCallback {
public:
    explicit CTransferCallback(DownloadJob *job) : m_job(job) {}

    STDMETHODIMP QueryInterface(REFIID riid, void **out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
            *out = static_cast<IBindStatusCallback *>(this);
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    // Lives on the transfer thread's stack for the whole call.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding *) override { return Answer(); }
    STDMETHODIMP GetPriority(LONG *) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG progress, ULONG, ULONG status, LPCWSTR) override
    {
        if ((status == BINDSTATUS_BEGINDOWNLOADDATA || status == BINDSTATUS_DOWNLOADINGDATA ||
             status == BINDSTATUS_ENDDOWNLOADDATA) &&
            progress > m_job->bytes) {
            m_job->bytes = progress;
            InterlockedExchange(&m_job->lastByteTick, static_cast<LONG>(GetTickCount()));
        }
        return Answer();
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD *, BINDINFO *) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC *, STGMEDIUM *) override { return Answer(); }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown *) override { return S_OK; }

private:
    HRESULT Answer() const { return m_job->state == kAbandoned ? E_ABORT : S_OK; }
    DownloadJob *m_job;
};

DWORD WINAPI DownloadThread(LPVOID param)
{
    DownloadJob *job = static_cast<DownloadJob *>(param);
    HRESULT init = CoInitialize(NULL);
    CTransferCallback callback(job);
    HRESULT result = URLDownloadToFileA(NULL, job->url, job->part, 0, &callback);
    if (SUCCEEDED(init))
        CoUninitialize();
    LONG outcome = SUCCEEDED(result) ? kCompleted : kFailedTransfer;
    // Given up, or failed: whatever it wrote goes.
    if (InterlockedCompareExchange(&job->state, outcome, kRunning) != kRunning || outcome != kCompleted)
        DeleteFileA(job->part);
    ReleaseJob(job);
    return 0;
}

// A name no other transfer of this or another run has used.
bool FreshPartName(const std::string &path, char *part, size_t size)
{
    static volatile LONG counter = 0;
    LONG n = InterlockedIncrement(&counter);
    int written = snprintf(part, size, "%s.%lu-%ld-%lu.part", path.c_str(), GetCurrentProcessId(), n, GetTickCount());
    return written > 0 && static_cast<size_t>(written) < size;
}
}  // namespace

bool CUrlDownloader::IsConnected()
{
    return InternetGetConnectedState(NULL, 0) != FALSE;
}

void CUrlDownloader::ForgetCached(const std::string &url)
{
    DeleteUrlCacheEntryA(url.c_str());
}

DownloadStatus CUrlDownloader::Download(const std::string &url, const std::string &path, DownloadKind kind)
{
    if (url.size() >= sizeof(DownloadJob::url))
        return DownloadStatus::Failed;
    DownloadJob *job = new DownloadJob();
    job->refs = 2;
    job->state = kRunning;
    job->bytes = 0;
    DWORD start = GetTickCount();
    job->lastByteTick = static_cast<LONG>(start);
    CopyBounded(job->url, sizeof(job->url), url.c_str());
    if (!FreshPartName(path, job->part, sizeof(job->part))) {
        delete job;
        return DownloadStatus::Failed;
    }
    HANDLE thread = CreateThread(NULL, 0, DownloadThread, job, 0, NULL);
    if (!thread) {
        delete job;
        return DownloadStatus::Failed;
    }
    for (;;) {
        if (WaitForSingleObject(thread, 250) == WAIT_OBJECT_0)
            break;
        DWORD now = GetTickCount();
        bool overdue = kind == DownloadKind::VersionFile
                           ? now - start >= m_versionFileMs
                           : now - static_cast<DWORD>(job->lastByteTick) >= m_stallMs;
        if (overdue && InterlockedCompareExchange(&job->state, kAbandoned, kRunning) == kRunning)
            break;
    }
    CloseHandle(thread);
    DownloadStatus status = DownloadStatus::Failed;
    if (job->state == kAbandoned) {
        status = DownloadStatus::TimedOut;
    } else if (job->state == kCompleted) {
        // Complete: only now does the file get the name the caller checks.
        if (MoveFileExA(job->part, path.c_str(), MOVEFILE_WRITE_THROUGH))
            status = DownloadStatus::Ok;
        else
            DeleteFileA(job->part);
    }
    ReleaseJob(job);
    return status;
}
