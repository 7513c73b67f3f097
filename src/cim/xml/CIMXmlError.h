// CIMXmlError: a CIM-XML document could not be read or a value could not be written.
#pragma once

#include <stdexcept>
#include <string>

namespace cim {

/// Thrown by the CIM-XML codec. Decoding: malformed XML, a missing or unexpected element or
/// attribute, a value that does not fit its type; the message names the element concerned.
/// Encoding: a string that is not valid UTF-8 or holds a control character, or a value that
/// CIM-XML cannot express.
class CIMXmlError : public std::runtime_error {
public:
    explicit CIMXmlError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace cim
