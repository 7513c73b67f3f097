// Response reader: any input is either refused with CIMXmlError or round-trips, and reading
// the items of IRETURNVALUE one by one gives exactly what the tree of the whole document
// gives: the same response or the same error.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "FuzzRoundTrip.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlResponseReader.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Outcome items = read(input, cim::CIMXmlResponseReader::Mode::ItemByItem);
    const Outcome whole = read(input, cim::CIMXmlResponseReader::Mode::WholeDocument);
    if (items.error != whole.error || items.response != whole.response) {
        fuzz::broken("reading item by item differs from the whole document", items.error + " / " + whole.error);
    }
    if (!whole.response) {
        return 0;
    }
    fuzz::checkRoundTrip(
        input, [](const std::string& xml) { return cim::decodeResponse(std::string_view(xml)); },
        [](const cim::CIMResponse& response) { return cim::encodeResponse(response); });
    return 0;
}
