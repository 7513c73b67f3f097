#include "vds/objects/UnmaskingRequest.h"

#include "platform/com/TextConversion.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kMaximumIscsiNameLength = 223;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool allOf(std::string_view text, int (*test)(int))
{
    return std::all_of(text.begin(), text.end(),
                       [test](char c) { return test(static_cast<unsigned char>(c)) != 0; });
}

bool isPrintableWithoutSpace(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || byte == 0x7F;
    });
}

int isNamingAuthorityChar(int c) { return std::isalnum(c) || c == '.' || c == '-'; }

// "yyyy-mm." then a reversed domain name, then optionally ":" and a unique part.
bool isWellFormedIqnRest(std::string_view rest)
{
    if (rest.size() < 9 || !allOf(rest.substr(0, 4), ::isdigit) || rest[4] != '-' ||
        !allOf(rest.substr(5, 2), ::isdigit) || rest[7] != '.')
        return false;
    const int month = (rest[5] - '0') * 10 + (rest[6] - '0');
    if (month < 1 || month > 12)
        return false;
    const std::string_view afterDate = rest.substr(8);
    const std::size_t colon = afterDate.find(':');
    const std::string_view authority = afterDate.substr(0, colon);
    if (authority.empty() || !allOf(authority, isNamingAuthorityChar) || authority.front() == '.' ||
        authority.back() == '.')
        return false;
    return colon == std::string_view::npos || colon + 1 < afterDate.size();
}

bool isHexOfLength(std::string_view text, std::initializer_list<std::size_t> lengths)
{
    return std::find(lengths.begin(), lengths.end(), text.size()) != lengths.end() &&
           allOf(text, ::isxdigit);
}

UnmaskingRequest invalid(std::string error)
{
    UnmaskingRequest request;
    request.error = std::move(error);
    return request;
}

} // namespace

bool IsWellFormedIscsiName(std::string_view name)
{
    if (name.empty() || name.size() > kMaximumIscsiNameLength || !isPrintableWithoutSpace(name))
        return false;
    if (startsWithIgnoringCase(name, "iqn."))
        return isWellFormedIqnRest(name.substr(4));
    if (startsWithIgnoringCase(name, "eui."))
        return isHexOfLength(name.substr(4), {16});
    if (startsWithIgnoringCase(name, "naa."))
        return isHexOfLength(name.substr(4), {16, 32});
    return false;
}

UnmaskingRequest UnmaskingRequest::Parse(std::u16string_view list)
{
    if (list == u"*") {
        UnmaskingRequest request;
        request.kind = Kind::AllHosts;
        request.error = "The array grants access to named initiators only; a LUN cannot be "
                        "unmasked to every host.";
        return request;
    }
    UnmaskingRequest request;
    request.kind = Kind::Names;
    if (list.empty())
        return request;
    const std::string text = orv::platform::Utf16ToUtf8(list);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(';', start);
        const std::string name = text.substr(start, end == std::string::npos ? end : end - start);
        if (name.empty())
            return invalid("The initiator list has an empty entry.");
        if (!IsWellFormedIscsiName(name))
            return invalid("\"" + name + "\" is not a well-formed iSCSI initiator name.");
        if (std::find(request.names.begin(), request.names.end(), name) != request.names.end())
            return invalid("The initiator " + name + " is named twice.");
        request.names.push_back(name);
        if (end == std::string::npos)
            return request;
        start = end + 1;
    }
}

std::string UnmaskingRequest::Join(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty())
            joined += ';';
        joined += name;
    }
    return joined;
}
