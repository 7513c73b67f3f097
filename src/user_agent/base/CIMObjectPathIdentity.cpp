#include "user_agent/base/CIMObjectPathIdentity.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

namespace Merrow::UserAgent {

bool IsSameObjectPath(const cim::CIMObjectPath& first, const cim::CIMObjectPath& second) {
    cim::CIMObjectPath adjusted(second);
    adjusted.setHost(first.getHost());
    adjusted.setNameSpace(first.getNameSpace());
    return first.identical(adjusted);
}

bool IsAssociationPath(const cim::CIMObjectPath& path) {
    const auto& keys = path.getKeyBindings();
    return std::any_of(keys.begin(), keys.end(), [](const cim::CIMKeyBinding& key) {
        return key.getType() == cim::CIMKeyBinding::Type::Reference;
    });
}

namespace {

std::size_t lowerCaseHash(const std::string& text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::hash<std::string>{}(lower);
}

} // namespace

std::size_t ObjectPathIdentityHash(const cim::CIMObjectPath& path) {
    std::size_t hash = lowerCaseHash(path.getClassName().getString());
    // Keys may come in any order: their hashes are summed. Only string values compare by
    // their spelling; numbers, booleans and references count by their name alone.
    for (const cim::CIMKeyBinding& key : path.getKeyBindings()) {
        std::size_t keyHash = lowerCaseHash(key.getName().getString());
        if (key.getType() == cim::CIMKeyBinding::Type::String)
            keyHash ^= std::hash<std::string>{}(key.getValue()) * 31;
        hash += keyHash;
    }
    return hash;
}

} // namespace Merrow::UserAgent
