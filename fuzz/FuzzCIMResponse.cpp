// Response reader: any input is either refused with CIMXmlError or round-trips, and reading
// the items of IRETURNVALUE one by one, from the whole text or from pieces of it as they
// would arrive, gives exactly what the tree of the whole document gives: the same response
// or the same error.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "FuzzRoundTrip.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlResponseReader.h"
#include "cim/xml/CIMXmlResponseStream.h"

namespace {

struct Outcome {
    std::optional<cim::CIMResponse> response;
    std::string error;
};

Outcome read(const std::string& input, cim::CIMXmlResponseReader::Mode mode) {
    Outcome outcome;
    try {
        outcome.response = cim::CIMXmlResponseReader(input, mode).readAll();
    } catch (const cim::CIMXmlError& e) {
        outcome.error = e.what();
    }
    return outcome;
}

void append(cim::CIMResponse& item, cim::CIMResponse& to) {
    to.instances.insert(to.instances.end(), item.instances.begin(), item.instances.end());
    to.objects.insert(to.objects.end(), item.objects.begin(), item.objects.end());
    to.paths.insert(to.paths.end(), item.paths.begin(), item.paths.end());
}

// Pieces of 1 to 64 bytes, their sizes drawn from the text itself.
Outcome readStreamed(const std::string& input) {
    Outcome outcome;
    cim::CIMResponse items;
    cim::CIMXmlResponseStream stream([](const cim::CIMResponse&) {},
                                     [&](cim::CIMResponse& item) { append(item, items); });
    try {
        for (std::size_t at = 0; at < input.size();) {
            const std::size_t size = 1 + static_cast<unsigned char>(input[at]) % 64;
            stream.feed(std::string_view(input).substr(at, size));
            at += size;
        }
        cim::CIMResponse response = stream.finish();
        append(items, response);
        outcome.response = std::move(response);
    } catch (const cim::CIMXmlError& e) {
        outcome.error = e.what();
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Outcome items = read(input, cim::CIMXmlResponseReader::Mode::ItemByItem);
    const Outcome whole = read(input, cim::CIMXmlResponseReader::Mode::WholeDocument);
    if (items.error != whole.error || items.response != whole.response) {
        fuzz::broken("reading item by item differs from the whole document", items.error + " / " + whole.error);
    }
    const Outcome streamed = readStreamed(input);
    if (streamed.error != whole.error || streamed.response != whole.response) {
        fuzz::broken("reading the text as it arrives differs from the whole document", streamed.error + " / " + whole.error);
    }
    if (!whole.response) {
        return 0;
    }
    fuzz::checkRoundTrip(
        input, [](const std::string& xml) { return cim::decodeResponse(std::string_view(xml)); },
        [](const cim::CIMResponse& response) { return cim::encodeResponse(response); });
    return 0;
}
