#include "ServiceConnection.h"

#include "Interpreter.h"
#include "PasswordSource.h"
#include "Session.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <sstream>
#include <system_error>

namespace orvraid {
namespace {

// The service's provider, which outlives every connection.
class BorrowedAttachment final : public ProviderAttachment {
public:
    explicit BorrowedAttachment(IVdsProvider* provider) : m_provider(provider) {}
    IVdsProvider* provider() const override { return m_provider; }

private:
    IVdsProvider* m_provider;
};

// The service has no terminal to ask on: "add array" takes the password its command line
// gives, else the one the client brought from its environment.
class ForwardedPasswordSource final : public PasswordSource {
public:
    explicit ForwardedPasswordSource(std::string password) : m_password(std::move(password)) {}
    std::optional<std::string> read(const std::string&) override
    {
        if (m_password.empty())
            return std::nullopt;
        return m_password;
    }

private:
    std::string m_password;
};

std::string takeText(std::ostringstream& stream)
{
    std::string text = stream.str();
    stream.str("");
    stream.clear();
    return text;
}

// What the client's reader accepts, with room for the rest of the result.
void fitIntoResponse(protocol::Result& result)
{
    constexpr std::size_t room = protocol::kMaxResponsePayload - 4096;
    const char* note = "\n(output cut: it exceeds what one answer may carry)\n";
    if (result.err.size() > room / 2)
        result.err = result.err.substr(0, room / 2) + note;
    if (result.out.size() + result.err.size() > room)
        result.out = result.out.substr(0, room - result.err.size()) + note;
}

}  // namespace

ServiceConnection::ServiceConnection(int fd, IVdsProvider* provider, const ServiceSocketSettings& settings)
    : m_channel(fd, protocol::kMaxRequestPayload),
      m_provider(provider),
      m_settings(settings),
      m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wakeFd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    m_channel.setSendTimeout(settings.stallTimeoutMs);
}

ServiceConnection::~ServiceConnection()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_wakeFd);
}

void ServiceConnection::start()
{
    m_thread = std::thread([this] { run(); });
}

void ServiceConnection::stop()
{
    m_channel.shutdown();
    wake();
}

void ServiceConnection::wake()
{
    const std::uint64_t one = 1;
    const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    static_cast<void>(written);  // a full counter wakes the reader just the same
}

void ServiceConnection::run()
{
    try {
        protocol::Hello hello;
        if (handshake(hello))
            serveCommands(hello);
    } catch (const std::exception& failure) {
        refuse(std::string("The service failed: ") + failure.what());
    }
    // The client learns at once that it is on its own; the descriptor goes when the
    // server reaps the connection.
    m_channel.shutdown();
    m_finished = true;
}

bool ServiceConnection::handshake(protocol::Hello& hello)
{
    protocol::Frame frame;
    const int stall = m_settings.stallTimeoutMs;
    switch (m_channel.receive(frame, stall, stall)) {
    case SocketChannel::ReadStatus::Frame:
        break;
    case SocketChannel::ReadStatus::Fault:
        refuse("The service refuses the connection: " + m_channel.reader().faultText() + ".");
        return false;
    case SocketChannel::ReadStatus::TimedOut:
        refuse("The service closes the connection: no hello within " + std::to_string(stall) + " ms.");
        return false;
    case SocketChannel::ReadStatus::Closed:
    case SocketChannel::ReadStatus::Woken:
        return false;
    }
    auto decoded = frame.type == protocol::MessageType::Hello ? protocol::decode<protocol::Hello>(frame.payload)
                                                              : std::nullopt;
    if (!decoded) {
        refuse("The service refuses the connection: it must begin with a hello.");
        return false;
    }
    const std::string refusal = m_settings.policy.refusalFor(m_channel.fd());
    if (!refusal.empty()) {
        refuse(refusal);
        return false;
    }
    hello = std::move(*decoded);
    return m_channel.send(protocol::frameOf(protocol::Welcome{m_settings.serverName, static_cast<std::uint32_t>(::getpid())}));
}

void ServiceConnection::serveCommands(const protocol::Hello& hello)
{
    BorrowedAttachment attachment(m_provider);
    Session session(attachment);
    ForwardedPasswordSource passwords(hello.password);
    std::ostringstream out;
    std::ostringstream err;
    Interpreter interpreter(session, passwords, out, err);
    protocol::Frame frame;
    for (;;) {
        const SocketChannel::ReadStatus status = m_channel.receive(frame, -1, m_settings.stallTimeoutMs);
        if (status == SocketChannel::ReadStatus::Fault)
            return refuse("The service closes the connection: " + m_channel.reader().faultText() + ".");
        if (status == SocketChannel::ReadStatus::TimedOut)
            return refuse("The service closes the connection: a message stalled halfway.");
        if (status != SocketChannel::ReadStatus::Frame)
            return;
        if (frame.type == protocol::MessageType::Watch)
            return serveWatch();
        auto command = frame.type == protocol::MessageType::Command
                           ? protocol::decode<protocol::Command>(frame.payload)
                           : std::nullopt;
        if (!command)
            return refuse("The service closes the connection: it expected a command.");
        protocol::Result result;
        result.exitCode = static_cast<std::uint32_t>(interpreter.execute(command->line));
        result.exitRequested = interpreter.exitRequested();
        result.out = takeText(out);
        result.err = takeText(err);
        fitIntoResponse(result);
        if (!m_channel.send(protocol::frameOf(result)))
            return;
    }
}

void ServiceConnection::serveWatch()
{
    {
        std::lock_guard lock(m_queueMutex);
        m_watching = true;
    }
    // The answer tells the client that nothing from now on is missed.
    if (!m_channel.send(protocol::frameOf(protocol::Result{})))
        return;
    protocol::Frame frame;
    std::deque<protocol::Notification> batch;
    for (;;) {
        const SocketChannel::ReadStatus status = m_channel.receive(frame, -1, m_settings.stallTimeoutMs, m_wakeFd);
        if (status == SocketChannel::ReadStatus::Frame)
            return refuse("The service closes the connection: a watching connection takes no commands.");
        if (status != SocketChannel::ReadStatus::Woken)
            return;
        std::uint64_t count = 0;
        const ssize_t got = ::read(m_wakeFd, &count, sizeof count);
        static_cast<void>(got);  // nothing to read just means another wake-up took it
        if (!takeQueued(batch))
            return refuse("The service closes the connection: the watcher fell too far behind.");
        for (const protocol::Notification& notification : batch) {
            if (!m_channel.send(protocol::frameOf(notification)))
                return;
        }
    }
}

bool ServiceConnection::takeQueued(std::deque<protocol::Notification>& batch)
{
    std::lock_guard lock(m_queueMutex);
    batch.clear();
    batch.swap(m_queue);
    return !m_overflowed;
}

void ServiceConnection::push(const protocol::Notification& notification)
{
    {
        std::lock_guard lock(m_queueMutex);
        if (!m_watching || m_overflowed)
            return;
        if (m_queue.size() >= m_settings.maxQueuedNotifications)
            m_overflowed = true;
        else
            m_queue.push_back(notification);
    }
    wake();
}

void ServiceConnection::refuse(const std::string& message)
{
    // The client may be gone already; it cannot be told then.
    m_channel.send(protocol::frameOf(protocol::Refusal{message}));
}

}  // namespace orvraid
