#pragma once

// The built corvane program as a child process: arguments, extra environment, its output
// and error streams read through pipes, signals, and its exit status.

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvane::testing {

class ChildProgram {
public:
    ChildProgram(const std::vector<std::string>& args, const std::map<std::string, std::string>& environment) {
        // Everything the child needs is made before the fork: the test process runs threads,
        // and a child that allocated (setenv) could hang on a lock another thread held at the
        // fork, before it ever ran the program.
        std::vector<std::string> variables;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text(*entry);
            const std::string name = text.substr(0, text.find('='));
            // The password reaches the program only when the test hands it over; the
            // in-process tests of the same binary set it for themselves.
            if (name != "CORVANE_PASSWORD" && environment.count(name) == 0)
                variables.push_back(text);
        }
        for (const auto& [name, value] : environment)
            variables.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::vector<char*> argv{const_cast<char*>(CORVANE_PROGRAM)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, STDIN_FILENO); // never a terminal: no prompts
            execve(CORVANE_PROGRAM, argv.data(), envp.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~ChildProgram() {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
        close(m_err);
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Reads the output until it holds `text`; false when the program ends or `limit` passes
    // first (a bound against hanging, not a measurement).
    bool waitForOutput(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(30)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (m_outText.find(text) == std::string::npos) {
            // A program whose error stream fills its pipe would block before it writes more.
            readSome(m_err, m_errText, 0);
            if (std::chrono::steady_clock::now() > end || !readSome(m_out, m_outText, 100))
                return m_outText.find(text) != std::string::npos;
        }
        return true;
    }

    void signal(int number) { kill(m_pid, number); }

    // Waits for the program to end and reads the rest of both streams.
    int exitStatus() {
        while (readSome(m_out, m_outText, -1)) {
        }
        while (readSome(m_err, m_errText, -1)) {
        }
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    const std::string& out() const { return m_outText; }
    const std::string& err() const { return m_errText; }

private:
    // False at the end of the stream; true when something was read or the wait passed.
    static bool readSome(int fd, std::string& into, int waitMs) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, waitMs) == 0)
            return true;
        char buffer[4096];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        into.append(buffer, static_cast<std::size_t>(count));
        return true;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_exited = false;
    std::string m_outText;
    std::string m_errText;
};

} // namespace corvane::testing
