// The stand-in for Winsock's start-up and clean-up. POSIX sockets need no start-up; the
// pair is kept, with Winsock's answers, because the provider pairs them (OnLoad, OnUnload)
// and a clean-up without a start-up is a mistake worth reporting. gethostname is POSIX's
// own (unistd.h), which needs no start-up either.
//
// Threads: any; the start-up count is atomic, the last error per thread as in Winsock.
#pragma once

#include "platform/com/WinTypes.h"

#include <unistd.h>

constexpr int WSAEFAULT = 10014;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int SOCKET_ERROR = -1;

constexpr WORD MAKEWORD(BYTE low, BYTE high)
{
    return static_cast<WORD>(low | (static_cast<WORD>(high) << 8));
}

struct WSADATA {
    WORD wVersion;     // the version the caller is to use
    WORD wHighVersion; // the highest version offered (2.2)
    char szDescription[257];
    char szSystemStatus[129];
};
using LPWSADATA = WSADATA*;

// 0 and the version to use (at most 2.2) in *lpWSAData; WSAVERNOTSUPPORTED for a version
// below 1.0, WSAEFAULT for a null lpWSAData. Each success must be paired with a WSACleanup.
int WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData);
// 0, or SOCKET_ERROR with WSANOTINITIALISED as the thread's last error when it has no
// start-up to pair with.
int WSACleanup();
int WSAGetLastError();
