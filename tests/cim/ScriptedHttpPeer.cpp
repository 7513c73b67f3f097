#include "ScriptedHttpPeer.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>
#include <cctype>

namespace cim::test {

namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

std::size_t contentLength(std::string_view header)
{
    std::string lower(header);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return std::stoul(lower.substr(at + 17));
}

} // namespace

ScriptedConnection::ScriptedConnection(tcp::socket& socket)
    : m_socket(socket)
{
}

std::string ScriptedConnection::readRequest()
{
    error_code ec;
    const std::size_t headerEnd = net::read_until(m_socket, net::dynamic_buffer(m_pending), "\r\n\r\n", ec);
    if (ec)
        return {};
    const std::size_t total = headerEnd + contentLength(std::string_view(m_pending).substr(0, headerEnd));
    if (m_pending.size() < total) {
        const std::size_t missing = total - m_pending.size();
        net::read(m_socket, net::dynamic_buffer(m_pending), net::transfer_exactly(missing), ec);
        if (ec)
            return {};
    }
    std::string request = m_pending.substr(0, total);
    m_pending.erase(0, total);
    return request;
}

void ScriptedConnection::send(std::string_view bytes)
{
    error_code ignored;
    net::write(m_socket, net::buffer(bytes.data(), bytes.size()), ignored);
}

void ScriptedConnection::sendBytewise(std::string_view bytes)
{
    error_code ignored;
    m_socket.set_option(tcp::no_delay(true), ignored);
    for (char c : bytes)
        net::write(m_socket, net::buffer(&c, 1), ignored);
}

void ScriptedConnection::waitForClose()
{
    char sink[512];
    error_code ec;
    while (!ec)
        m_socket.read_some(net::buffer(sink), ec);
}

void ScriptedConnection::close()
{
    error_code ignored;
    m_socket.shutdown(tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
}

ScriptedHttpPeer::ScriptedHttpPeer(Script script)
    : ScriptedHttpPeer(std::move(script), "127.0.0.1", 0)
{
}

ScriptedHttpPeer::ScriptedHttpPeer(Script script, const std::string& address, std::uint16_t port)
    : m_script(std::move(script)), m_address(address),
      m_acceptor(m_ioc, tcp::endpoint(net::ip::make_address(address), port))
{
    m_port = m_acceptor.local_endpoint().port();
    m_thread = std::thread([this] { run(); });
}

ScriptedHttpPeer::~ScriptedHttpPeer()
{
    m_stopping = true;
    // The peer thread sits in a blocking accept; a connection of our own wakes it.
    net::io_context ioc;
    tcp::socket waker(ioc);
    error_code ignored;
    waker.connect(tcp::endpoint(net::ip::make_address(m_address), m_port), ignored);
    m_thread.join();
}

void ScriptedHttpPeer::run()
{
    for (;;) {
        tcp::socket socket(m_ioc);
        error_code ec;
        m_acceptor.accept(socket, ec);
        if (m_stopping || ec)
            return;
        ++m_accepted;
        ScriptedConnection connection(socket);
        m_script(connection);
        connection.close();
        std::lock_guard lock(m_mutex);
        ++m_finished;
        m_finishedChanged.notify_all();
    }
}

void ScriptedHttpPeer::waitForFinishedConnections(int count)
{
    std::unique_lock lock(m_mutex);
    m_finishedChanged.wait(lock, [&] { return m_finished >= count; });
}

} // namespace cim::test
