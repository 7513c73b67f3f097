// The stand-in for the service's message loop: run() blocks until SIGTERM or SIGINT
// arrives or quit() is called (the WM_QUIT of the platform).
//
// While a ServiceLoop exists it owns the process's SIGTERM and SIGINT handling; the
// handlers only write one byte to a pipe (the self-pipe pattern), so the signal may land on
// any thread. The previous handlers come back when the loop is destroyed. At most one
// ServiceLoop may exist at a time.
//
// Threads: run() on the thread that owns the loop; quit() from any thread (and from a
// signal handler) as long as the loop exists.
#pragma once

#include <signal.h>

#include <atomic>

namespace orv::platform {

class ServiceLoop {
public:
    enum class Reason { Quit, Signal };
    struct Result {
        Reason reason;
        int value;  // the exit code given to quit(), or the signal number
    };

    // Throws std::system_error when the pipe or the handlers cannot be set up, and
    // std::logic_error when another ServiceLoop exists.
    ServiceLoop();
    ~ServiceLoop();
    ServiceLoop(const ServiceLoop&) = delete;
    ServiceLoop& operator=(const ServiceLoop&) = delete;

    Result run();
    // The first request counts: a quit or signal that arrives before run() makes run()
    // return at once.
    void quit(int exitCode = 0);

private:
    int m_readEnd = -1;
    std::atomic<bool> m_quitRequested{false};
    std::atomic<int> m_exitCode{0};
    struct sigaction m_previousTerm {};
    struct sigaction m_previousInt {};
};

}  // namespace orv::platform
