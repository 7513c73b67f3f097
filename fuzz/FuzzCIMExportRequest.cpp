// Export (indication) request reader: refused with CIMXmlError or round-trips.
#include <cstddef>
#include <cstdint>

#include "FuzzRoundTrip.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        cim::decodeExportRequest(std::string_view(input));
    } catch (const cim::CIMXmlError&) {
        return 0;
    }
    fuzz::checkRoundTrip(
        input, [](const std::string& xml) { return cim::decodeExportRequest(std::string_view(xml)); },
        [](const cim::CIMExportRequest& request) { return cim::encodeExportRequest(request); });
    return 0;
}
