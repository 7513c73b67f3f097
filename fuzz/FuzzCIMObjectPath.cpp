// Object path text form: refused with CIMValueError, or printing and reading back gives an
// identical path that prints the same. Paths that CIM-XML can carry also round-trip through
// an INSTANCENAME/VALUE.REFERENCE in a response.
#include <cstddef>
#include <cstdint>

#include "FuzzRoundTrip.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace {

struct PrintedPath {
    cim::CIMObjectPath path;
    friend bool operator==(const PrintedPath& a, const PrintedPath& b) {
        return a.path.identical(b.path);
    }
};

// CIM-XML names a host only together with a namespace (NAMESPACEPATH); the encoder drops a
// host that comes without one, here or in any reference key.
bool xmlCarriesHost(const cim::CIMObjectPath& path) {
    if (!path.getHost().empty() && path.getNameSpace().isNull()) {
        return false;
    }
    for (const cim::CIMKeyBinding& key : path.getKeyBindings()) {
        if (key.getType() == cim::CIMKeyBinding::Type::Reference && !xmlCarriesHost(key.getReference())) {
            return false;
        }
    }
    return true;
}

void checkThroughXml(const cim::CIMObjectPath& path) {
    cim::CIMResponse response;
    response.methodName = cim::CIMName("Get");
    response.kind = cim::CIMReturnKind::Value;
    response.value = cim::CIMValue(path);
    std::string xml;
    try {
        xml = cim::encodeResponse(response);
    } catch (const cim::CIMXmlError&) {
        return;  // text XML cannot carry, such as control characters in a key
    }
    const cim::CIMResponse back = cim::decodeResponse(std::string_view(xml));
    if (!back.value.get<cim::CIMObjectPath>().identical(path)) {
        fuzz::broken("path through CIM-XML differs", xml);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        cim::CIMObjectPath::parse(input);
    } catch (const cim::CIMValueError&) {
        return 0;
    }
    fuzz::checkRoundTrip(
        input, [](const std::string& text) { return PrintedPath{cim::CIMObjectPath::parse(text)}; },
        [](const PrintedPath& printed) { return printed.path.toString(); });
    const cim::CIMObjectPath path = cim::CIMObjectPath::parse(input);
    if (!path.isNull() && xmlCarriesHost(path)) {
        checkThroughXml(path);
    }
    return 0;
}
