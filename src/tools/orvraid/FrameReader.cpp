#include "FrameReader.h"

#include <algorithm>
#include <cstring>

namespace orvraid {
namespace {

std::uint32_t bigEndianAt(const std::string& bytes, std::size_t offset, int size)
{
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

bool isKnownType(std::uint32_t type)
{
    return type >= static_cast<std::uint32_t>(protocol::MessageType::Hello) &&
           type <= static_cast<std::uint32_t>(protocol::MessageType::Refusal);
}

}  // namespace

void FrameReader::feed(const char* data, std::size_t size)
{
    if (m_fault != Fault::None)
        return;
    m_buffer.append(data, size);
    // Garbage is refused as soon as its first bytes show it, not after a header's worth.
    const std::size_t magicBytes = std::min(m_buffer.size(), sizeof protocol::kMagic);
    if (std::memcmp(m_buffer.data(), protocol::kMagic, magicBytes) != 0)
        m_fault = Fault::NotAFrame;
}

// header := magic version type length; checked once the whole header is in.
bool FrameReader::checkHeader()
{
    m_peerVersion = static_cast<std::uint16_t>(bigEndianAt(m_buffer, 4, 2));
    if (m_peerVersion != protocol::kVersion) {
        m_fault = Fault::OtherVersion;
        return false;
    }
    if (!isKnownType(bigEndianAt(m_buffer, 6, 2))) {
        m_fault = Fault::UnknownType;
        return false;
    }
    m_announcedLength = bigEndianAt(m_buffer, 8, 4);
    if (m_announcedLength > m_maxPayload) {
        m_fault = Fault::TooLarge;
        return false;
    }
    return true;
}

std::optional<protocol::Frame> FrameReader::next()
{
    if (m_fault != Fault::None || m_buffer.size() < protocol::kHeaderSize || !checkHeader())
        return std::nullopt;
    const std::size_t total = protocol::kHeaderSize + m_announcedLength;
    if (m_buffer.size() < total)
        return std::nullopt;
    protocol::Frame frame;
    frame.version = m_peerVersion;
    frame.type = static_cast<protocol::MessageType>(bigEndianAt(m_buffer, 6, 2));
    frame.payload = m_buffer.substr(protocol::kHeaderSize, m_announcedLength);
    m_buffer.erase(0, total);
    return frame;
}

std::string FrameReader::faultText() const
{
    switch (m_fault) {
    case Fault::None:
        return "";
    case Fault::NotAFrame:
        return "the peer does not speak the orvvds protocol";
    case Fault::OtherVersion:
        return "the peer speaks protocol version " + std::to_string(m_peerVersion) +
               ", this program version " + std::to_string(protocol::kVersion);
    case Fault::TooLarge:
        return "a message of " + std::to_string(m_announcedLength) + " bytes exceeds the bound of " +
               std::to_string(m_maxPayload) + " bytes";
    case Fault::UnknownType:
        return "the peer sent a message of a type this version does not know";
    }
    return "";
}

}  // namespace orvraid
