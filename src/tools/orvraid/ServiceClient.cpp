#include "ServiceClient.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

namespace orvraid {
namespace {

// The socket's descriptor, -1 with errno set when nobody takes the connection.
int connectTo(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::strcpy(address.sun_path, path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string faultReason(const FrameReader& reader)
{
    if (reader.fault() == FrameReader::Fault::OtherVersion)
        return "the service speaks protocol version " + std::to_string(reader.peerVersion()) +
               " and this orvraid version " + std::to_string(protocol::kVersion) +
               "; use the orvraid that came with the running orvvds";
    return reader.faultText();
}

}  // namespace

ServiceClient::Connect ServiceClient::connect(const std::filesystem::path& socketPath, const std::string& password,
                                              std::ostream& out, std::ostream& err,
                                              std::unique_ptr<ServiceClient>& client, std::string& error)
{
    const int fd = connectTo(socketPath);
    if (fd < 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            return Connect::NoService;
        error = "cannot connect to the service at " + socketPath.string() + ": " + std::strerror(errno);
        return Connect::Failed;
    }
    auto connected = std::make_unique<ServiceClient>(fd, out, err);
    if (!connected->handshake(password, error))
        return Connect::Failed;
    client = std::move(connected);
    return Connect::Connected;
}

ServiceClient::ServiceClient(int fd, std::ostream& out, std::ostream& err)
    : m_channel(fd, protocol::kMaxResponsePayload), m_out(out), m_err(err)
{
}

bool ServiceClient::handshake(const std::string& password, std::string& error)
{
    protocol::Frame frame;
    // A service that refuses at once (another version) may have answered and closed before
    // our hello went out: its answer is still there to be read and says why.
    const bool sent = m_channel.send(protocol::frameOf(protocol::Hello{"orvraid", password}));
    if (!expect(protocol::MessageType::Welcome, frame, error))
        return false;
    if (!sent) {
        error = "the service closed the connection";
        return false;
    }
    auto welcome = protocol::decode<protocol::Welcome>(frame.payload);
    if (!welcome) {
        error = "the service's welcome cannot be read";
        return false;
    }
    m_welcome = std::move(*welcome);
    return true;
}

bool ServiceClient::expect(protocol::MessageType type, protocol::Frame& frame, std::string& error)
{
    switch (m_channel.receive(frame, -1, -1)) {
    case SocketChannel::ReadStatus::Frame:
        break;
    case SocketChannel::ReadStatus::Fault:
        error = faultReason(m_channel.reader());
        return false;
    case SocketChannel::ReadStatus::Closed:
    case SocketChannel::ReadStatus::TimedOut:
    case SocketChannel::ReadStatus::Woken:
        m_closed = true;
        error = "the service closed the connection";
        return false;
    }
    if (frame.type == protocol::MessageType::Refusal) {
        auto refusal = protocol::decode<protocol::Refusal>(frame.payload);
        error = refusal ? refusal->message : "the service refused";
        return false;
    }
    if (frame.type != type) {
        error = "the service answered out of turn";
        return false;
    }
    return true;
}

ExitCode ServiceClient::lose(const std::string& reason)
{
    m_err << "orvraid: " << reason << "." << std::endl;
    m_exitRequested = true;
    return ExitCode::Fatal;
}

ExitCode ServiceClient::execute(std::string_view line)
{
    if (m_exitRequested)
        return ExitCode::Fatal;
    if (line.size() > protocol::kMaxRequestPayload - 64) {
        m_err << "orvraid: the command line is too long." << std::endl;
        return ExitCode::SyntaxOrSelection;
    }
    if (!m_channel.send(protocol::frameOf(protocol::Command{std::string(line)})))
        return lose("the service closed the connection");
    protocol::Frame frame;
    std::string error;
    // A service that ends in the middle of a command (killed, crashed) may have done part
    // of it, or all of it: the administrator must look before trying again.
    if (!expect(protocol::MessageType::Result, frame, error))
        return lose(error + " before the command finished; list the objects to see whether it took effect");
    auto result = protocol::decode<protocol::Result>(frame.payload);
    if (!result)
        return lose("the service's answer cannot be read");
    m_out << result->out << std::flush;
    m_err << result->err << std::flush;
    m_exitRequested = result->exitRequested;
    return static_cast<ExitCode>(result->exitCode);
}

bool ServiceClient::startWatch(std::string& error)
{
    protocol::Frame frame;
    return m_channel.send(protocol::encodeFrame(protocol::MessageType::Watch, "")) &&
           expect(protocol::MessageType::Result, frame, error);
}

bool ServiceClient::readNotifications(const std::function<void(const protocol::Notification&)>& onNotification,
                                      std::string& error)
{
    protocol::Frame frame;
    for (;;) {
        if (!expect(protocol::MessageType::Notification, frame, error))
            return m_closed;
        auto notification = protocol::decode<protocol::Notification>(frame.payload);
        if (!notification) {
            error = "a notification from the service cannot be read";
            return false;
        }
        onNotification(*notification);
    }
}

}  // namespace orvraid
