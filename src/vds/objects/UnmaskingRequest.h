// What a LUN's unmasking list asks for, checked before anything is applied on the array.
//
// The list is ";"-separated iSCSI initiator names. The empty list asks for no initiator
// (every grant is revoked); the single entry "*" (every host) is refused, as the array
// grants access to named initiators only. A list with an empty item, a name that is no
// well-formed iSCSI name, or a name given twice is refused whole, with a text saying why.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct UnmaskingRequest {
    enum class Kind { Names, AllHosts, Invalid };

    Kind kind = Kind::Invalid;
    // Kind::Names: the initiators in list order (none for the empty list).
    std::vector<std::string> names;
    // Kind::AllHosts and Kind::Invalid: why the list cannot be applied.
    std::string error;

    static UnmaskingRequest Parse(std::u16string_view list);
    // The names joined again with ";".
    static std::string Join(const std::vector<std::string>& names);
};

// An iSCSI name in one of its three forms: "iqn.yyyy-mm.reversed.domain[:unique]",
// "eui." and 16 hexadecimal digits, "naa." and 16 or 32 hexadecimal digits; at most 223
// bytes, without white space or control characters.
bool IsWellFormedIscsiName(std::string_view name);
