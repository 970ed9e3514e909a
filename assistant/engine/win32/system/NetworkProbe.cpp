#include "assistant/engine/win32/system/NetworkProbe.h"

#include "common/BoundedCopy.h"

#include <wininet.h>

namespace {
// Shared by the waiting caller and the probe thread; whoever finishes last frees it.
struct ProbeJob {
    LONG refs;
    char url[2048];
    int result;
};

void ReleaseJob(ProbeJob *job)
{
    if (InterlockedDecrement(&job->refs) == 0)
        delete job;
}

int OpenAndReadStatus(const char *url)
{
    HINTERNET session = InternetOpenA(NULL, INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    if (!session)
        return -1;
    // Never answer from the cache: a stored page says nothing about the network now.
    HINTERNET request = InternetOpenUrlA(session, url, NULL, 0,
                                         INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 1);
    if (!request) {
        InternetCloseHandle(session);
        return -1;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    int result = 0;
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL))
        result = (status >= 200 && status <= 299) ? 1 : static_cast<int>(status);
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return result;
}

DWORD WINAPI ProbeThread(LPVOID param)
{
    ProbeJob *job = static_cast<ProbeJob *>(param);
    job->result = OpenAndReadStatus(job->url);
    ReleaseJob(job);
    return 0;
}
}

int ProbeUrl(const char *url, DWORD waitMs)
{
    ProbeJob *job = new ProbeJob();
    job->refs = 2;
    job->result = 0;
    CopyBounded(job->url, sizeof(job->url), url);
    HANDLE thread = CreateThread(NULL, 0, ProbeThread, job, 0, NULL);
    if (!thread) {
        delete job;
        return 0;
    }
    int result = 0;
    if (WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0)
        result = job->result;
    CloseHandle(thread);
    ReleaseJob(job);
    return result;
}

int ProbeNetwork(const char *url)
{
    // "Connected" only means a LAN or modem is there, not that the bank's
    // sites can be reached; only the offline flag is taken at its word.
    DWORD flags = 0;
    if (InternetGetConnectedState(&flags, 0) && (flags & INTERNET_CONNECTION_OFFLINE))
        return -1;
    return ProbeUrl(url);
}
