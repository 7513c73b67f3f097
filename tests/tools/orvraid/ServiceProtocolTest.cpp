// The frames and messages of the service's socket: what the reader makes of bytes that
// arrive in any pieces, of a peer of another version, of garbage and of oversized frames,
// and which payloads a message refuses.
#include "FrameReader.h"
#include "ServiceMessages.h"

#include <gtest/gtest.h>

namespace orvraid {
namespace {

using protocol::MessageType;

std::optional<protocol::Frame> readWhole(FrameReader& reader, const std::string& bytes)
{
    reader.feed(bytes.data(), bytes.size());
    return reader.next();
}

TEST(FrameReaderTest, AFrameSplitAtEveryByteComesOutWhole)
{
    const protocol::Result result{4, true, "Subsystem 0\n", "no such LUN\n"};
    const std::string bytes = protocol::frameOf(result) + protocol::frameOf(protocol::Command{"list luns"});
    for (std::size_t split = 0; split <= bytes.size(); ++split) {
        SCOPED_TRACE(split);
        FrameReader reader(protocol::kMaxResponsePayload);
        reader.feed(bytes.data(), split);
        std::vector<protocol::Frame> frames;
        while (auto frame = reader.next())
            frames.push_back(*frame);
        reader.feed(bytes.data() + split, bytes.size() - split);
        while (auto frame = reader.next())
            frames.push_back(*frame);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(reader.fault(), FrameReader::Fault::None);
        EXPECT_FALSE(reader.insideFrame());
        const auto decoded = protocol::decode<protocol::Result>(frames[0].payload);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->exitCode, 4u);
        EXPECT_TRUE(decoded->exitRequested);
        EXPECT_EQ(decoded->out, result.out);
        EXPECT_EQ(decoded->err, result.err);
        EXPECT_EQ(frames[1].type, MessageType::Command);
    }
}

TEST(FrameReaderTest, FaultsEndTheReader)
{
    struct Case {
        const char* description;
        std::string bytes;
        FrameReader::Fault fault;
        const char* named;
    };
    const std::string header = protocol::encodeFrame(MessageType::Command, "");
    std::string unknownType = header;
    unknownType[7] = 99;
    const Case cases[] = {
        {"an HTTP request", "GET / HTTP/1.1\r\n\r\n", FrameReader::Fault::NotAFrame, "does not speak"},
        {"one wrong byte is enough", "X", FrameReader::Fault::NotAFrame, "does not speak"},
        {"a later version", protocol::encodeFrame(MessageType::Hello, "", 2), FrameReader::Fault::OtherVersion,
         "protocol version 2, this program version 1"},
        {"an earlier version", protocol::encodeFrame(MessageType::Hello, "", 0), FrameReader::Fault::OtherVersion,
         "protocol version 0"},
        {"a payload above the bound", protocol::encodeFrame(MessageType::Command, std::string(101, 'x')),
         FrameReader::Fault::TooLarge, "101 bytes exceeds the bound of 100 bytes"},
        {"an unknown message type", unknownType, FrameReader::Fault::UnknownType, "does not know"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.description);
        FrameReader reader(100);
        EXPECT_FALSE(readWhole(reader, row.bytes));
        EXPECT_EQ(reader.fault(), row.fault);
        EXPECT_NE(reader.faultText().find(row.named), std::string::npos) << reader.faultText();
        // Nothing after a fault is read, not even a good frame.
        EXPECT_FALSE(readWhole(reader, header));
    }
}

TEST(FrameReaderTest, APayloadAtTheBoundIsRead)
{
    FrameReader reader(100);
    const auto frame = readWhole(reader, protocol::encodeFrame(MessageType::Command, std::string(100, 'x')));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->payload.size(), 100u);
}

TEST(ServiceMessagesTest, PayloadsThatDoNotHoldTheirMessageAreRefused)
{
    const std::string good = protocol::encode(protocol::Result{1, false, "out", "err"});
    std::string badFlag = good;
    badFlag[4] = 2;
    struct Case {
        const char* description;
        std::string payload;
    };
    const Case cases[] = {
        {"empty", ""},
        {"cut inside a text", good.substr(0, good.size() - 1)},
        {"cut inside the exit code", good.substr(0, 3)},
        {"a byte left over", good + "x"},
        {"a flag that is neither 0 nor 1", badFlag},
        {"a text longer than the payload", std::string("\x00\x00\x00\x01\x00\xFF\xFF\xFF\xFF", 9)},
    };
    for (const Case& row : cases)
        EXPECT_FALSE(protocol::decode<protocol::Result>(row.payload)) << row.description;
    EXPECT_TRUE(protocol::decode<protocol::Result>(good));
}

TEST(ServiceMessagesTest, TextsKeepEveryByte)
{
    const std::string awkward("line\n\0with nul and \xC3\xA9", 21);
    const auto hello = protocol::decode<protocol::Hello>(protocol::encode(protocol::Hello{awkward, "pw"}));
    ASSERT_TRUE(hello);
    EXPECT_EQ(hello->client, awkward);
    EXPECT_EQ(hello->password, "pw");
    const auto notification =
        protocol::decode<protocol::Notification>(protocol::encode(protocol::Notification{0x0123456789ABCDEFull, "x"}));
    ASSERT_TRUE(notification);
    EXPECT_EQ(notification->unixMilliseconds, 0x0123456789ABCDEFull);
}

}  // namespace
}  // namespace orvraid
