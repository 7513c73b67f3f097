// One BSTR owned by the program: freed when it goes, and wiped first when it held a
// secret (the array passwords that GetCorvaneInfo hands out).
#pragma once

#include "platform/com/Bstr.h"

#include <string>
#include <string_view>

namespace orvraid {

class OwnedBstr {
public:
    enum class Kind { Plain, Secret };

    explicit OwnedBstr(Kind kind = Kind::Plain) : m_kind(kind) {}
    // A copy of `text`; std::bad_alloc when memory is exhausted.
    explicit OwnedBstr(std::string_view text, Kind kind = Kind::Plain);
    ~OwnedBstr();
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;

    BSTR get() const { return m_bstr; }
    // For an [out] argument; whatever was held is released first.
    BSTR* put();
    std::string utf8() const;

private:
    void release();

    Kind m_kind;
    BSTR m_bstr = nullptr;
};

}  // namespace orvraid
