#include "platform/service/ServiceLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace orv::platform {
namespace {

// The write end is global because the signal handler can reach nothing else. -1 while no
// loop exists. A byte of 0 is a quit request, any other byte the signal number.
std::atomic<int> g_wakeWriteEnd{-1};

void writeWakeByte(unsigned char byte)
{
    const int fd = g_wakeWriteEnd.load();
    if (fd < 0)
        return;
    // A full pipe already holds a wake-up; losing this one changes nothing.
    while (::write(fd, &byte, 1) < 0 && errno == EINTR) {
    }
}

extern "C" void onStopSignal(int signal)
{
    const int savedErrno = errno;
    writeWakeByte(static_cast<unsigned char>(signal));
    errno = savedErrno;
}

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

ServiceLoop::ServiceLoop()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        fail("ServiceLoop: pipe");
    int expected = -1;
    if (!g_wakeWriteEnd.compare_exchange_strong(expected, fds[1])) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::logic_error("ServiceLoop: another service loop exists");
    }
    m_readEnd = fds[0];
    // Blocking reads on our end; the write end stays non-blocking for the handler.
    ::fcntl(m_readEnd, F_SETFL, 0);

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &m_previousTerm) != 0 ||
        ::sigaction(SIGINT, &action, &m_previousInt) != 0) {
        const int error = errno;
        ::sigaction(SIGTERM, &m_previousTerm, nullptr);
        ::close(m_readEnd);
        ::close(g_wakeWriteEnd.exchange(-1));
        errno = error;
        fail("ServiceLoop: sigaction");
    }
}

ServiceLoop::~ServiceLoop()
{
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    ::close(g_wakeWriteEnd.exchange(-1));
    ::close(m_readEnd);
}

ServiceLoop::Result ServiceLoop::run()
{
    unsigned char byte = 0;
    while (true) {
        // Waiting in poll rather than in read: ThreadSanitizer runs a signal's handler at
        // once only during calls it knows to block, and read on a pipe is not one of them,
        // so a server built with it would never see its SIGTERM.
        pollfd wake{m_readEnd, POLLIN, 0};
        if (::poll(&wake, 1, -1) < 0 && errno != EINTR)
            return {Reason::Quit, m_exitCode.load()};
        if ((wake.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        const ssize_t got = ::read(m_readEnd, &byte, 1);
        if (got == 1)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        // The write end is ours until destruction, so end of file or another error means
        // the process is falling apart; treat it as a stop request.
        return {Reason::Quit, m_exitCode.load()};
    }
    if (byte == 0)
        return {Reason::Quit, m_exitCode.load()};
    return {Reason::Signal, byte};
}

void ServiceLoop::quit(int exitCode)
{
    if (m_quitRequested.exchange(true))
        return;
    m_exitCode = exitCode;
    writeWakeByte(0);
}

}  // namespace orv::platform
