#include "ServiceMessages.h"

#include "PayloadReader.h"
#include "PayloadWriter.h"

namespace orvraid::protocol {
namespace {

// One field list per message, shared by encoding and decoding, so the two cannot drift
// apart: `io` is a writer or a reader wrapped in the adapters below.
template <class Io, class M> void fields(Io& io, M& m);

template <class Io> void fields(Io& io, Hello& m) { io.text(m.client).text(m.password); }
template <class Io> void fields(Io& io, Welcome& m) { io.text(m.server).integer(m.pid, 4); }
template <class Io> void fields(Io& io, Command& m) { io.text(m.line); }
template <class Io> void fields(Io& io, Result& m)
{
    io.integer(m.exitCode, 4).flag(m.exitRequested).text(m.out).text(m.err);
}
template <class Io> void fields(Io& io, Notification& m) { io.integer(m.unixMilliseconds, 8).text(m.text); }
template <class Io> void fields(Io& io, Refusal& m) { io.text(m.message); }

struct Encoder {
    PayloadWriter writer;
    Encoder& text(const std::string& value) { writer.text(value); return *this; }
    template <class T> Encoder& integer(T value, int bytes) { writer.integer(value, bytes); return *this; }
    Encoder& flag(bool value) { writer.integer(value ? 1 : 0, 1); return *this; }
};

struct Decoder {
    PayloadReader reader;
    bool validFlags = true;
    Decoder& text(std::string& value) { value = reader.text(); return *this; }
    template <class T> Decoder& integer(T& value, int bytes)
    {
        value = static_cast<T>(reader.integer(bytes));
        return *this;
    }
    Decoder& flag(bool& value)
    {
        const std::uint64_t byte = reader.integer(1);
        validFlags = validFlags && byte <= 1;
        value = byte == 1;
        return *this;
    }
};

template <class M> std::string encodeFields(M message)
{
    Encoder encoder;
    fields(encoder, message);
    return encoder.writer.bytes();
}

}  // namespace

std::string encode(const Hello& message) { return encodeFields(message); }
std::string encode(const Welcome& message) { return encodeFields(message); }
std::string encode(const Command& message) { return encodeFields(message); }
std::string encode(const Result& message) { return encodeFields(message); }
std::string encode(const Notification& message) { return encodeFields(message); }
std::string encode(const Refusal& message) { return encodeFields(message); }

template <class Message> std::optional<Message> decode(const std::string& payload)
{
    Decoder decoder{PayloadReader(payload)};
    Message message;
    fields(decoder, message);
    if (!decoder.reader.complete() || !decoder.validFlags)
        return std::nullopt;
    return message;
}

template std::optional<Hello> decode<Hello>(const std::string&);
template std::optional<Welcome> decode<Welcome>(const std::string&);
template std::optional<Command> decode<Command>(const std::string&);
template std::optional<Result> decode<Result>(const std::string&);
template std::optional<Notification> decode<Notification>(const std::string&);
template std::optional<Refusal> decode<Refusal>(const std::string&);

}  // namespace orvraid::protocol
