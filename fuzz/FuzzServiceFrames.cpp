// The frame reader of the service's socket and the message decoders behind it, fed what a
// hostile client could send. The input arrives in two pieces (the first byte says where it
// is cut), as bytes arrive on a socket. The reader must never read out of bounds or hold
// a frame above its bound; every payload a decoder accepts must encode back to the same
// bytes, since the encoding has one form per message.
#include "FrameReader.h"
#include "ServiceMessages.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::uint32_t kBound = 4096;

template <class Message> void checkRoundTrip(const std::string& payload)
{
    if (auto message = orvraid::protocol::decode<Message>(payload)) {
        if (orvraid::protocol::encode(*message) != payload)
            std::abort();
    }
}

void checkFrame(const orvraid::protocol::Frame& frame)
{
    using orvraid::protocol::MessageType;
    if (frame.payload.size() > kBound)
        std::abort();
    switch (frame.type) {
    case MessageType::Hello: return checkRoundTrip<orvraid::protocol::Hello>(frame.payload);
    case MessageType::Welcome: return checkRoundTrip<orvraid::protocol::Welcome>(frame.payload);
    case MessageType::Command: return checkRoundTrip<orvraid::protocol::Command>(frame.payload);
    case MessageType::Result: return checkRoundTrip<orvraid::protocol::Result>(frame.payload);
    case MessageType::Watch: return;
    case MessageType::Notification: return checkRoundTrip<orvraid::protocol::Notification>(frame.payload);
    case MessageType::Refusal: return checkRoundTrip<orvraid::protocol::Refusal>(frame.payload);
    }
    std::abort();  // the reader let through a type it does not know
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    const std::size_t cut = length == 0 ? 0 : data[0] % (length + 1);
    orvraid::FrameReader reader(kBound);
    reader.feed(bytes, cut);
    while (auto frame = reader.next())
        checkFrame(*frame);
    reader.feed(bytes + cut, length - cut);
    while (auto frame = reader.next())
        checkFrame(*frame);
    if (reader.fault() != orvraid::FrameReader::Fault::None && reader.faultText().empty())
        std::abort();
    return 0;
}
