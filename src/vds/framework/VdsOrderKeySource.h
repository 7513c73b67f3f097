// How the ordered object lists learn where a member goes in their output: drives by slot
// number, LUNs and targets by durable name, portals by IP address text. Each of those
// object classes implements VdsOrderKeySource with the key of its list, reading it from
// the array service object it stands for.
#pragma once

#include <string>

enum class VdsOrderKeyOutcome {
    // The key was read.
    Read,
    // The service object answered a failure; failureText says what it reported.
    Failed,
    // The object has no service object to ask.
    NoServiceObject,
};

template <class Key> class VdsOrderKeySource {
public:
    // Called with the member's own lock held when its list says so (LUNs, targets).
    virtual VdsOrderKeyOutcome ReadOrderKey(Key& key, std::string& failureText) = 0;

protected:
    ~VdsOrderKeySource() = default;
};

// One ordered list's rules.
template <class Key> struct VdsOrderRule {
    // The key of a member whose key could not be read.
    Key failureKey;
    // Members without a service object are left out of the output (LUNs, targets); on the
    // other lists they take the failure key.
    bool omitWithoutServiceObject;
    // The member's own scoped lock is held while its key is read (LUNs, targets).
    bool lockEachMember;
    // An exception's text is traced as well (targets).
    bool traceExceptionText;
    const char* category;
};
