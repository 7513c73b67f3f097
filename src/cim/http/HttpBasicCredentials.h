#pragma once

#include "cim/http/HttpServer.h"

#include <optional>
#include <string>
#include <string_view>

namespace cim {

// The Basic credentials of a request's Authorization header, read strictly: a request with
// several Authorization headers is malformed (a server answers 400); another scheme, or a
// token that is not exactly canonical base64 (RFC 4648: length a multiple of four, padding
// only at the end, nothing after it) or has no ":" carries no credentials a server can accept.
class HttpBasicCredentials {
public:
    enum class Status { Absent, Repeated, Unreadable, Present };

    static HttpBasicCredentials of(const HttpRequest& request);
    // The "Basic <token>" value of one header.
    static HttpBasicCredentials parse(std::string_view headerValue);

    Status status() const { return m_status; }
    // "user:password" when present.
    const std::string& userPassword() const { return m_userPassword; }

    // Canonical base64 decoding; nullopt for anything else.
    static std::optional<std::string> decodeBase64(std::string_view text);

private:
    HttpBasicCredentials(Status status, std::string userPassword = {})
        : m_status(status), m_userPassword(std::move(userPassword))
    {
    }

    Status m_status;
    std::string m_userPassword;
};

} // namespace cim
