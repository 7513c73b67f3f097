// The simulator against clients that misbehave, and against a state file or names it cannot
// keep: each case over real connections on loopback addresses of its own.

#include "sim/ArrayFailureCodes.h"
#include "sim/Simulator.h"

#include "cim/client/CIMClient.h"
#include "cim/http/HttpBasicCredentials.h"
#include "cim/value/CIMException.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <unistd.h>

namespace Merrow::Sim {
namespace {

namespace http = boost::beast::http;
using cim::CIMValue;

const cim::CIMNamespaceName kStorage(Namespaces::Storage);

SimulatorOptions optionsFor(const std::string& address)
{
    SimulatorOptions options;
    options.array.address = address;
    options.array.disks = 8;
    options.array.diskBytes = 100'000'000'000ull;
    options.array.volumes = 1;
    options.user = "admin";
    options.password = "secret";
    options.jobs = false;
    return options;
}

std::string base64(const std::string& text)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, text.size() - i);
        unsigned chunk = 0;
        for (std::size_t k = 0; k < 3; ++k)
            chunk = chunk << 8 | (k < n ? static_cast<unsigned char>(text[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[chunk >> (18 - 6 * k) & 63] : '=';
    }
    return out;
}

// A valid EnumerateInstanceNames of the array's systems, as a client would send it.
const std::string kEnumerateSystems =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" "
    "PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"EnumerateInstanceNames\"><LOCALNAMESPACEPATH>"
    "<NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"snia\"/></LOCALNAMESPACEPATH><IPARAMVALUE NAME=\"ClassName\">"
    "<CLASSNAME NAME=\"CIM_ComputerSystem\"/></IPARAMVALUE></IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";

// A loopback address of the running test's own: ctest runs each case in a process of its own,
// several at once. The name's hash picks one of 12,500 addresses of the group's third-octet
// range (base 100: 127.92.10-59.x, base 150: 127.92.60-109.x), so that two cases meeting on
// one address is as unlikely as it needs to be; fifty addresses let two of a dozen cases
// collide now and then.
std::string addressOfThisTest(int base)
{
    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::size_t hash = std::hash<std::string>{}(name);
    const std::size_t third = (base - 100) + 10 + hash % 50;
    const std::size_t fourth = 1 + (hash / 50) % 250;
    return "127.92." + std::to_string(third) + "." + std::to_string(fourth);
}

// Sends `head` (and `body`) on a connection of its own and reads the answer.
http::response<http::string_body> sendRaw(const std::string& address, const std::string& head,
                                           const std::string& body = {})
{
    boost::asio::io_context ioc;
    boost::asio::ip::tcp::socket socket(ioc);
    socket.connect({boost::asio::ip::make_address(address), 5988});
    boost::asio::write(socket, boost::asio::buffer(head + body));
    boost::beast::flat_buffer buffer;
    http::response<http::string_body> reply;
    http::read(socket, buffer, reply);
    return reply;
}

std::string requestHead(const std::string& extraHeaders, std::size_t contentLength)
{
    return "POST /cimom HTTP/1.1\r\nHost: sim\r\nContent-Type: application/xml; charset=\"utf-8\"\r\n"
           "CIMOperation: MethodCall\r\nCIMMethod: EnumerateInstanceNames\r\nCIMObject: root%2Fsnia\r\n"
           + extraHeaders + "Content-Length: " + std::to_string(contentLength) + "\r\n\r\n";
}

class SimulatorCredentials : public testing::Test {
protected:
    void SetUp() override { simulator.start(); }

    const std::string address = addressOfThisTest(100);
    Simulator simulator{optionsFor(address)};
};

TEST_F(SimulatorCredentials, ARequestWithoutThemIsRefusedBeforeItsBodyIsSent)
{
    // Only the head of a 16 MiB upload: the answer must not wait for the body.
    const auto reply = sendRaw(address, requestHead("", 16u << 20));
    EXPECT_EQ(reply.result_int(), 401u);
    EXPECT_NE(reply[http::field::www_authenticate], "");
}

TEST_F(SimulatorCredentials, ValidOnesAreAcceptedOnTheSameRequestShape)
{
    const auto reply = sendRaw(address,
                                requestHead("Authorization: Basic " + base64("admin:secret") + "\r\n",
                                            kEnumerateSystems.size()),
                                kEnumerateSystems);
    EXPECT_EQ(reply.result_int(), 200u);
    EXPECT_NE(reply.body().find("INSTANCENAME"), std::string::npos);
}

TEST_F(SimulatorCredentials, TwoAuthorizationHeadersAreABadRequest)
{
    const std::string valid = "Authorization: Basic " + base64("admin:secret") + "\r\n";
    const auto reply = sendRaw(address, requestHead(valid + valid, kEnumerateSystems.size()), kEnumerateSystems);
    EXPECT_EQ(reply.result_int(), 400u);
}

TEST_F(SimulatorCredentials, TextAfterTheCredentialsIsNotIgnored)
{
    for (const std::string& token : {base64("admin:secret") + "=garbage", base64("admin:secret") + "AAAA=x",
                                     base64("admin:secret").substr(0, 15)}) {
        const auto reply = sendRaw(address, requestHead("Authorization: Basic " + token + "\r\n", kEnumerateSystems.size()),
                                    kEnumerateSystems);
        EXPECT_EQ(reply.result_int(), 401u) << token;
    }
}

TEST(SimulatorBasicCredentials, OnlyCanonicalBase64IsRead)
{
    using cim::HttpBasicCredentials;
    EXPECT_EQ(HttpBasicCredentials::decodeBase64(base64("a")), "a");
    EXPECT_EQ(HttpBasicCredentials::decodeBase64(base64("ab")), "ab");
    EXPECT_EQ(HttpBasicCredentials::decodeBase64(base64("abc")), "abc");
    // "YR==" carries the same byte as "YQ==" with stray bits.
    EXPECT_EQ(HttpBasicCredentials::decodeBase64("YR=="), std::nullopt);
    EXPECT_EQ(HttpBasicCredentials::decodeBase64("YQ=a"), std::nullopt);
    EXPECT_EQ(HttpBasicCredentials::decodeBase64("Y==="), std::nullopt);
    EXPECT_EQ(HttpBasicCredentials::parse("basic " + base64("u:p")).status(), HttpBasicCredentials::Status::Present);
    EXPECT_EQ(HttpBasicCredentials::parse("Basic " + base64("no colon")).status(),
              HttpBasicCredentials::Status::Unreadable);
    EXPECT_EQ(HttpBasicCredentials::parse("Bearer " + base64("u:p")).status(), HttpBasicCredentials::Status::Unreadable);
}

// ---- the state file -----------------------------------------------------------------------

std::filesystem::path freshFolder(const char* name)
{
    const auto folder = std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    return folder;
}

TEST(SimulatorStateFile, AFileThatCannotBeWrittenStopsTheStart)
{
    auto options = optionsFor("127.92.2.2");
    options.stateFile = (freshFolder("sim-missing-") / "state.json").string();
    Simulator simulator(options);
    EXPECT_THROW(simulator.start(), std::exception);
    cim::CIMClient client;
    EXPECT_ANY_THROW(client.connect("127.92.2.2", 5988, "admin", "secret")) << "nothing may listen";
}

TEST(SimulatorStateFile, AChangeThatCannotBeSavedFailsItsRequest)
{
    const std::string address = "127.92.2.3";
    const auto folder = freshFolder("sim-vanishing-");
    std::filesystem::create_directories(folder);
    auto options = optionsFor(address);
    options.stateFile = (folder / "state.json").string();
    Simulator simulator(options);
    simulator.start();
    cim::CIMClient client;
    client.connect(address, 5988, "admin", "secret");
    auto volume = client.enumerateInstances(kStorage, "CIM_StorageVolume").at(0);

    std::filesystem::remove_all(folder);
    volume.setPropertyValue("ElementName", CIMValue("not kept"));
    try {
        client.modifyInstance(kStorage, volume);
        ADD_FAILURE() << "a change that was not saved was reported as done";
    } catch (const cim::CIMException& e) {
        EXPECT_EQ(e.getCode(), cim::CIMStatusCode::Failed);
    }

    std::filesystem::create_directories(folder);
    volume.setPropertyValue("ElementName", CIMValue("kept"));
    client.modifyInstance(kStorage, volume);
    simulator.stop();
    Simulator restarted(options);
    restarted.start();
    cim::CIMClient again;
    again.connect(address, 5988, "admin", "secret");
    EXPECT_EQ(again.enumerateInstances(kStorage, "CIM_StorageVolume").at(0).getPropertyValue("ElementName"),
              CIMValue("kept"));
    std::filesystem::remove_all(folder);
}

// ---- names ------------------------------------------------------------------------------

class SimulatorNames : public testing::Test {
protected:
    void SetUp() override
    {
        simulator.start();
        client.connect(address, 5988, "admin", "secret");
    }

    std::uint32_t createFromPool(const std::string& name)
    {
        const auto service = client.enumerateInstanceNames(kStorage, "CIM_StorageConfigurationService").at(0);
        const auto pool = client.enumerateInstanceNames(kStorage, "CIM_StoragePool").at(0);
        std::vector<cim::CIMParamValue> out;
        return client
            .invokeMethod(kStorage, service, "CreateOrModifyElementFromStoragePool",
                          {cim::CIMParamValue("ElementName", CIMValue(name)),
                           cim::CIMParamValue("ElementType", CIMValue(std::uint16_t{2})),
                           cim::CIMParamValue("Size", CIMValue(std::uint64_t{1} << 30)),
                           cim::CIMParamValue("InPool", CIMValue(pool))},
                          out)
            .get<std::uint32_t>();
    }

    const std::string address = addressOfThisTest(150);
    Simulator simulator{optionsFor(address)};
    cim::CIMClient client;
};

TEST_F(SimulatorNames, ANewVolumeNameTheArrayCouldNotShowIsAnInvalidParameter)
{
    EXPECT_EQ(createFromPool(std::string(10u << 20, 'n')), ArrayFailure::InvalidParameter);
    EXPECT_EQ(createFromPool("tab\tinside"), ArrayFailure::InvalidParameter);
    EXPECT_EQ(client.enumerateInstances(kStorage, "CIM_StorageVolume").size(), 1u);
}

TEST_F(SimulatorNames, RenamingToSuchANameIsRefusedAndEnumerationsStillWork)
{
    auto volume = client.enumerateInstances(kStorage, "CIM_StorageVolume").at(0);
    for (const std::string& name : {std::string(300, 'n'), std::string("tab\there")}) {
        volume.setPropertyValue("ElementName", CIMValue(name));
        try {
            client.modifyInstance(kStorage, volume);
            ADD_FAILURE() << "renamed to " << name.size() << " bytes";
        } catch (const cim::CIMException& e) {
            EXPECT_EQ(e.getCode(), cim::CIMStatusCode::InvalidParameter);
        }
    }
    // The array's own name; its controllers' names are read-only whatever is given.
    std::vector<cim::CIMStatusCode> codes;
    for (auto system : client.enumerateInstances(kStorage, "CIM_ComputerSystem")) {
        system.setPropertyValue("ElementName", CIMValue(std::string("tab\there")));
        try {
            client.modifyInstance(kStorage, system);
            ADD_FAILURE() << "a name with a control character was taken";
        } catch (const cim::CIMException& e) {
            codes.push_back(e.getCode());
        }
    }
    EXPECT_EQ(std::count(codes.begin(), codes.end(), cim::CIMStatusCode::InvalidParameter), 1);
    EXPECT_EQ(client.enumerateInstances(kStorage, "CIM_ComputerSystem").size(), 3u);
}

} // namespace
} // namespace Merrow::Sim
