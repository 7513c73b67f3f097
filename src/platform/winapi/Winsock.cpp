#include "platform/winapi/Winsock.h"

#include <atomic>
#include <cstring>

namespace {

constexpr WORD kHighestVersion = MAKEWORD(2, 2);

std::atomic<int> g_startups{0};
thread_local int t_lastError = 0;

BYTE majorOf(WORD version) { return static_cast<BYTE>(version & 0xFF); }
BYTE minorOf(WORD version) { return static_cast<BYTE>(version >> 8); }

// Versions compare major first.
bool below(WORD a, WORD b)
{
    return majorOf(a) != majorOf(b) ? majorOf(a) < majorOf(b) : minorOf(a) < minorOf(b);
}

}  // namespace

int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData)
{
    if (lpWSAData == nullptr)
        return WSAEFAULT;
    if (majorOf(wVersionRequested) < 1)
        return WSAVERNOTSUPPORTED;
    std::memset(lpWSAData, 0, sizeof *lpWSAData);
    lpWSAData->wVersion = below(wVersionRequested, kHighestVersion) ? wVersionRequested
                                                                    : kHighestVersion;
    lpWSAData->wHighVersion = kHighestVersion;
    std::strcpy(lpWSAData->szDescription, "POSIX sockets");
    std::strcpy(lpWSAData->szSystemStatus, "Running");
    ++g_startups;
    return 0;
}

int WSACleanup()
{
    int count = g_startups.load();
    do {
        if (count == 0) {
            t_lastError = WSANOTINITIALISED;
            return SOCKET_ERROR;
        }
    } while (!g_startups.compare_exchange_weak(count, count - 1));
    return 0;
}

int WSAGetLastError() { return t_lastError; }
