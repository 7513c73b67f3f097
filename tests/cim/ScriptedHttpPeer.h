#pragma once

// A TCP peer that plays a script on every connection it accepts, for the replies and
// misbehaviour that no well-behaved server produces (padded lengths, trailers sent byte by
// byte, silence, a close in the middle of a reply).

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace cim::test {

class ScriptedConnection {
public:
    explicit ScriptedConnection(boost::asio::ip::tcp::socket& socket);

    // One whole request (header and Content-Length body), empty when the peer closed first.
    std::string readRequest();
    void send(std::string_view bytes);
    // Sends the bytes one write at a time, so the reader sees every possible split.
    void sendBytewise(std::string_view bytes);
    // Blocks until the other side closes.
    void waitForClose();
    void close();

private:
    boost::asio::ip::tcp::socket& m_socket;
    std::string m_pending;
};

class ScriptedHttpPeer {
public:
    using Script = std::function<void(ScriptedConnection&)>;

    // Connections are accepted and scripted one after the other on a thread of the peer.
    explicit ScriptedHttpPeer(Script script);
    // On an address and port of the test's choosing, for clients that only ever look at a
    // fixed port (an array client looks at 5988).
    ScriptedHttpPeer(Script script, const std::string& address, std::uint16_t port);
    ~ScriptedHttpPeer();

    std::uint16_t port() const { return m_port; }
    int connectionsAccepted() const { return m_accepted.load(); }
    // Waits until the script has finished on `count` connections.
    void waitForFinishedConnections(int count);

private:
    void run();

    Script m_script;
    std::string m_address;
    boost::asio::io_context m_ioc;
    boost::asio::ip::tcp::acceptor m_acceptor;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_accepted{0};
    std::mutex m_mutex; // guards m_finished
    std::condition_variable m_finishedChanged;
    int m_finished = 0;
    std::thread m_thread;
};

} // namespace cim::test
