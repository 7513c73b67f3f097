// The service's socket served in this process over the tests' provider: clients that
// behave and clients that do not (garbage, oversized messages, silence, another protocol
// version, a user without permission), and watchers of notifications. A misbehaving client
// must lose its connection and nothing else.
#include "FakeVdsObjects.h"
#include "TempDirectory.h"

#include "ServiceClient.h"
#include "ServiceMessages.h"
#include "ServiceSocketServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <sstream>
#include <thread>

namespace orvraid {
namespace {

using ::testing::HasSubstr;
using orv::platform::test::TempDirectory;
using test::FakeVdsProvider;

// A client that writes what the test says, byte for byte.
class RawClient {
public:
    explicit RawClient(const std::filesystem::path& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        EXPECT_EQ(::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    ~RawClient() { ::close(m_fd); }

    // Writes until the service stops taking bytes: refusing an oversized message, it closes
    // after the header, and the rest of the message has nowhere to go.
    void write(const std::string& bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t got = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (got <= 0)
                return;
            sent += static_cast<std::size_t>(got);
        }
    }

    // Everything the service sends until it closes the connection.
    std::string readUntilClosed()
    {
        std::string all;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0)
            all.append(buffer, static_cast<std::size_t>(got));
        return all;
    }

    // The refusal the service sent before it closed; empty when there was none.
    std::string refusalUntilClosed()
    {
        const std::string bytes = readUntilClosed();
        FrameReader reader(protocol::kMaxResponsePayload);
        reader.feed(bytes.data(), bytes.size());
        while (auto frame = reader.next()) {
            if (frame->type == protocol::MessageType::Refusal)
                return protocol::decode<protocol::Refusal>(frame->payload).value_or(protocol::Refusal{}).message;
        }
        return "";
    }

private:
    int m_fd = -1;
};

class ServiceSocketServerTest : public ::testing::Test {
protected:
    ServiceSocketServerTest()
    {
        CComObject<FakeVdsProvider>* provider = nullptr;
        EXPECT_EQ(CComObject<FakeVdsProvider>::CreateInstance(&provider), S_OK);
        m_provider = provider;
    }

    ServiceSocketSettings settings(PeerCredentialPolicy policy = PeerCredentialPolicy::rootAndServiceUser())
    {
        ServiceSocketSettings result;
        result.socketPath = socketPath;
        result.policy = std::move(policy);
        // Short, so the tests of silent clients end soon, yet long enough that a well-behaved
        // client of this process, descheduled between connecting and saying hello on a busy
        // machine, is not taken for a silent one.
        result.stallTimeoutMs = 1500;
        return result;
    }

    std::unique_ptr<ServiceClient> connect(std::string* error = nullptr)
    {
        std::unique_ptr<ServiceClient> client;
        std::string reason;
        const auto connected = ServiceClient::connect(socketPath, "", out, err, client, reason);
        EXPECT_EQ(connected, error ? ServiceClient::Connect::Failed : ServiceClient::Connect::Connected) << reason;
        if (error != nullptr)
            *error = reason;
        return client;
    }

    // A well-behaved client still gets its answers.
    void expectServed(ServiceClient& client)
    {
        out.str("");
        EXPECT_EQ(client.execute("add array host=127.91.0.1 user=admin password=pw"), ExitCode::Success) << err.str();
        EXPECT_EQ(client.execute("list subsystems"), ExitCode::Success) << err.str();
        EXPECT_THAT(out.str(), HasSubstr("Fake@127.91.0.1"));
    }

    TempDirectory directory;
    std::filesystem::path socketPath = directory.path() / "orvvds.sock";
    CComPtr<IVdsProvider> m_provider;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ServiceSocketServerTest, CommandsRunAsInTheInterpreterWithTheirExitStatus)
{
    ServiceSocketServer server(m_provider.get(), settings());
    struct stat status {};
    ASSERT_EQ(::stat(socketPath.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the socket is for its owner only";

    auto client = connect();
    ASSERT_TRUE(client);
    EXPECT_EQ(client->welcome().server, "orvvds");
    EXPECT_EQ(client->welcome().pid, static_cast<std::uint32_t>(::getpid()));
    expectServed(*client);
    err.str("");
    EXPECT_EQ(client->execute("list lunz"), ExitCode::SyntaxOrSelection);
    EXPECT_FALSE(err.str().empty());
    EXPECT_FALSE(client->exitRequested());
    EXPECT_EQ(client->execute("exit"), ExitCode::Success);
    EXPECT_TRUE(client->exitRequested());
}

TEST_F(ServiceSocketServerTest, ListsAndDetailsAsJsonForScripts)
{
    ServiceSocketServer server(m_provider.get(), settings());
    auto client = connect();
    ASSERT_TRUE(client);
    out.str("");
    ASSERT_EQ(client->execute("list subsystems --json"), ExitCode::Success);
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::array()) << "no arrays yet: an empty list";
    ASSERT_EQ(client->execute("add array host=127.91.0.1 user=admin password=pw"), ExitCode::Success);
    ASSERT_EQ(client->execute("add array host=127.91.0.2 user=admin password=pw"), ExitCode::Success);
    ASSERT_EQ(client->execute("select subsystem 1"), ExitCode::Success);

    out.str("");
    ASSERT_EQ(client->execute("LIST --JSON subsystems"), ExitCode::Success) << err.str();
    const nlohmann::json list = nlohmann::json::parse(out.str());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]["Subsystem"], 1);
    EXPECT_EQ(list[1]["Name"], "Fake@127.91.0.2");
    EXPECT_EQ(list[1]["Selected"], true);
    EXPECT_EQ(list[0]["Selected"], false);

    out.str("");
    ASSERT_EQ(client->execute("detail subsystem --json"), ExitCode::Success) << err.str();
    const nlohmann::json details = nlohmann::json::parse(out.str());
    EXPECT_EQ(details["Name"], "Fake@127.91.0.2");
    EXPECT_TRUE(details.contains("Supports"));

    // The text stays the default, and the switch belongs to lists and details only.
    out.str("");
    ASSERT_EQ(client->execute("list subsystems"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("* Subsystem 1"));
    EXPECT_EQ(client->execute("select subsystem 0 --json"), ExitCode::SyntaxOrSelection);
}

TEST_F(ServiceSocketServerTest, TwoClientsKeepTheirOwnSelection)
{
    ServiceSocketServer server(m_provider.get(), settings());
    auto first = connect();
    auto second = connect();
    ASSERT_TRUE(first && second);
    expectServed(*first);
    EXPECT_EQ(first->execute("select subsystem 0"), ExitCode::Success);
    EXPECT_EQ(first->execute("list drives"), ExitCode::Success) << err.str();
    // The second client sees the array the first one added, but not its focus.
    out.str("");
    EXPECT_EQ(second->execute("list subsystems"), ExitCode::Success);
    EXPECT_THAT(out.str(), HasSubstr("Fake@127.91.0.1"));
    EXPECT_EQ(second->execute("list drives"), ExitCode::SyntaxOrSelection);
}

TEST_F(ServiceSocketServerTest, MisbehavingClientsAreDisconnectedWithoutHarmToOthers)
{
    ServiceSocketServer server(m_provider.get(), settings());
    auto good = connect();
    ASSERT_TRUE(good);
    struct Case {
        const char* description;
        std::string bytes;
        const char* refusal;
    };
    const std::string hello = protocol::frameOf(protocol::Hello{"raw", ""});
    const Case cases[] = {
        {"garbage", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", "does not speak the orvvds protocol"},
        {"a hello above the bound", protocol::encodeFrame(protocol::MessageType::Hello, std::string(protocol::kMaxRequestPayload + 1, 'x')),
         "exceeds the bound"},
        {"a command above the bound after the hello",
         hello + protocol::encodeFrame(protocol::MessageType::Command, std::string(protocol::kMaxRequestPayload + 1, 'x')),
         "exceeds the bound"},
        {"nothing at all", "", "no hello within"},
        {"half a header", hello.substr(0, 6), "no hello within"},
        {"half a command after the hello", hello + protocol::frameOf(protocol::Command{"list subsystems"}).substr(0, 14),
         "stalled halfway"},
        {"a command instead of a hello", protocol::frameOf(protocol::Command{"list subsystems"}), "must begin with a hello"},
        {"a hello of a later version", protocol::encodeFrame(protocol::MessageType::Hello, protocol::encode(protocol::Hello{}), 2),
         "protocol version 2, this program version 1"},
        {"a malformed command", hello + protocol::encodeFrame(protocol::MessageType::Command, std::string("\x00\x00", 2)), "expected a command"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.description);
        RawClient raw(socketPath);
        raw.write(row.bytes);
        // Returns only once the service has closed the connection.
        EXPECT_THAT(raw.refusalUntilClosed(), HasSubstr(row.refusal));
        expectServed(*good);
    }
}

TEST_F(ServiceSocketServerTest, AUserWithoutPermissionIsRefusedByName)
{
    const uid_t me = ::geteuid();
    ServiceSocketServer server(m_provider.get(),
                               settings(PeerCredentialPolicy([me](uid_t peer) { return peer != me; }, "root and orvvds")));
    std::string error;
    EXPECT_FALSE(connect(&error));
    EXPECT_THAT(error, HasSubstr("Permission denied: user " + userName(me) + " (uid " + std::to_string(me) + ")"));
    EXPECT_THAT(error, HasSubstr("only root and orvvds may"));
}

TEST_F(ServiceSocketServerTest, TheServiceUsersPolicyLetsThisProcessIn)
{
    ServiceSocketServer server(m_provider.get(), settings());
    auto client = connect();
    ASSERT_TRUE(client);
}

TEST_F(ServiceSocketServerTest, AServiceOfAnotherVersionIsNamedWithItsVersion)
{
    // A later service: whatever it says comes in frames of its own version.
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    std::thread later([listener] {
        const int peer = ::accept(listener, nullptr, nullptr);
        const std::string welcome = protocol::encodeFrame(protocol::MessageType::Welcome, "whatever version 2 says", 2);
        ::send(peer, welcome.data(), welcome.size(), MSG_NOSIGNAL);
        ::close(peer);
    });
    std::string error;
    EXPECT_FALSE(connect(&error));
    later.join();
    ::close(listener);
    EXPECT_THAT(error, HasSubstr("the service speaks protocol version 2 and this orvraid version 1"));
}

TEST_F(ServiceSocketServerTest, WatchersGetEveryNotificationAndCommandClientsNone)
{
    ServiceSocketServer server(m_provider.get(), settings());
    auto watcher = connect();
    auto commands = connect();
    ASSERT_TRUE(watcher && commands);
    std::string error;
    ASSERT_TRUE(watcher->startWatch(error)) << error;
    VDS_NOTIFICATION records[2]{};
    records[0].objectType = VDS_NTT_SUB_SYSTEM;
    records[0].SubSystem.ulEvent = VDS_NF_SUB_SYSTEM_ARRIVE;
    records[1].objectType = VDS_NTT_LUN;
    records[1].Lun.ulEvent = VDS_NF_LUN_MODIFY;
    server.notify(records, 2);
    std::vector<std::string> seen;
    std::thread reader([&] {
        watcher->readNotifications([&](const protocol::Notification& n) {
            seen.push_back(n.text);
            if (seen.size() == 2)
                watcher->shutdown();
        }, error);
    });
    reader.join();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_THAT(seen[0], HasSubstr("subsystem arrived {00000000-"));
    EXPECT_THAT(seen[1], HasSubstr("LUN changed"));
    // The command client's next answer is its own, not a notification.
    expectServed(*commands);
}

TEST_F(ServiceSocketServerTest, ALiveServiceKeepsItsSocketAndADeadOnesIsReplaced)
{
    {
        ServiceSocketServer first(m_provider.get(), settings());
        EXPECT_THROW(ServiceSocketServer(m_provider.get(), settings()), std::runtime_error);
    }
    EXPECT_FALSE(std::filesystem::exists(socketPath)) << "a stopped service removes its socket";
    // A socket file that nobody answers on, as a killed service leaves it.
    const int orphan = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(orphan, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(orphan);
    std::unique_ptr<ServiceClient> none;
    std::string error;
    EXPECT_EQ(ServiceClient::connect(socketPath, "", out, err, none, error), ServiceClient::Connect::NoService);
    ServiceSocketServer replacement(m_provider.get(), settings());
    EXPECT_TRUE(connect());
}

}  // namespace
}  // namespace orvraid
