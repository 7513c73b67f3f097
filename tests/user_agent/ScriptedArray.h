#pragma once

// An array that answers with whatever the test scripted: on a loopback address of the test's
// own at the array port, each request gets the next scripted reply on a connection of its
// own, which is closed afterwards. With no reply left the connection is closed unanswered.

#include "ScriptedHttpPeer.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

namespace Merrow::UserAgent::Testing {

class ScriptedArray {
public:
    explicit ScriptedArray(const std::string& address)
        : m_address(address),
          m_peer([this](cim::test::ScriptedConnection& connection) { serve(connection); }, address,
                 5988) {}

    void reply(std::string bytes) {
        std::lock_guard lock(m_mutex);
        m_replies.push_back(std::move(bytes));
    }
    const std::string& address() const { return m_address; }
    int requests() const { return m_requests.load(); }

    static std::string cimStatus(int status) {
        return "HTTP/1.1 200 OK\r\nCIMOperation: MethodResponse\r\nCIMStatusCode: " +
               std::to_string(status) + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    }
    static std::string unauthorized() {
        return "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"array\"\r\n"
               "Connection: close\r\nContent-Length: 0\r\n\r\n";
    }
    // Well-formed HTTP, but no CIM operation response.
    static std::string notCIM() {
        return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    }
    static std::string closeWithoutAnswer() { return {}; }

private:
    void serve(cim::test::ScriptedConnection& connection) {
        if (connection.readRequest().empty())
            return;
        ++m_requests;
        const std::string answer = next();
        if (!answer.empty())
            connection.send(answer);
    }

    std::string next() {
        std::lock_guard lock(m_mutex);
        if (m_replies.empty())
            return {};
        std::string answer = std::move(m_replies.front());
        m_replies.pop_front();
        return answer;
    }

    const std::string m_address;
    std::mutex m_mutex; // guards m_replies
    std::deque<std::string> m_replies;
    std::atomic<int> m_requests{0};
    // Last: its thread runs the script on the members above.
    cim::test::ScriptedHttpPeer m_peer;
};

} // namespace Merrow::UserAgent::Testing
