#pragma once

// Names and encodings of the HTTP headers that carry CIM-XML messages.
//
// CIM names and object paths travel in the CIMMethod and CIMObject headers (and a status
// description in the CIMStatusCodeDescription trailer) with a two-step encoding: the text is
// taken as UTF-8 bytes, then every byte that may not appear bare in a URI (controls, space,
// the unsafe characters, "/" and every non-ASCII byte) becomes %HH.

#include <boost/beast/core/string.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace cim {

class CIMHttpHeaders {
public:
    static constexpr std::string_view kCIMOperation = "CIMOperation";
    static constexpr std::string_view kCIMMethod = "CIMMethod";
    static constexpr std::string_view kCIMObject = "CIMObject";
    static constexpr std::string_view kCIMProtocolVersion = "CIMProtocolVersion";
    static constexpr std::string_view kCIMError = "CIMError";
    static constexpr std::string_view kCIMStatusCode = "CIMStatusCode";
    static constexpr std::string_view kCIMStatusCodeDescription = "CIMStatusCodeDescription";
    static constexpr std::string_view kCIMExport = "CIMExport";
    static constexpr std::string_view kCIMExportMethod = "CIMExportMethod";

    static constexpr std::string_view kMethodCall = "MethodCall";
    static constexpr std::string_view kMethodRequest = "MethodRequest";
    static constexpr std::string_view kMethodResponse = "MethodResponse";
    static constexpr std::string_view kProtocolVersion = "1.0";
    static constexpr std::string_view kContentType = "application/xml; charset=\"utf-8\"";

    // Values of the CIMError header.
    static constexpr std::string_view kErrUnsupportedProtocolVersion = "unsupported-protocol-version";
    static constexpr std::string_view kErrMultipleRequestsUnsupported = "multiple-requests-unsupported";
    static constexpr std::string_view kErrUnsupportedCimVersion = "unsupported-cim-version";
    static constexpr std::string_view kErrUnsupportedDtdVersion = "unsupported-dtd-version";
    static constexpr std::string_view kErrRequestNotValid = "request-not-valid";
    static constexpr std::string_view kErrRequestNotWellFormed = "request-not-well-formed";
    static constexpr std::string_view kErrRequestNotLooselyValid = "request-not-loosely-valid";
    static constexpr std::string_view kErrHeaderMismatch = "header-mismatch";
    static constexpr std::string_view kErrUnsupportedOperation = "unsupported-operation";

    // Two-step encoding of a UTF-8 text for a header value.
    static std::string encodeValue(std::string_view utf8);

    // Reverses encodeValue. Empty when a %-escape is incomplete or not hexadecimal, or when
    // the decoded bytes are not valid UTF-8: a peer that sends such a header is answered
    // with an error rather than guessed at.
    static std::optional<std::string> decodeValue(std::string_view encoded);

    // True when the bytes form valid UTF-8 (no overlong forms, no surrogates, at most
    // U+10FFFF).
    static bool isValidUtf8(std::string_view bytes);

    // The value of a header or trailer field, empty when absent.
    template <class Fields>
    static std::string_view fieldValue(const Fields& fields, std::string_view name)
    {
        const auto found = fields.find(view(name));
        if (found == fields.end())
            return {};
        const auto value = found->value();
        return {value.data(), value.size()};
    }

    // Beast's own string_view type for a standard one.
    static boost::beast::string_view view(std::string_view text) { return {text.data(), text.size()}; }

    // Compares a received header value with what we expect, ignoring surrounding white space
    // and the case of ASCII letters, as HTTP token values are compared.
    static bool tokenEquals(std::string_view received, std::string_view expected);
};

} // namespace cim
