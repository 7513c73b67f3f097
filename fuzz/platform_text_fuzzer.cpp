// Conversions must never fail or read out of bounds, and must agree with each other:
// well-formed output of one direction converts back unchanged.
#include "platform/com/Guid.h"
#include "platform/com/TextConversion.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using orv::platform::Utf16ToUtf8;
    using orv::platform::Utf8ToUtf16;

    const std::string narrow(reinterpret_cast<const char*>(data), size);
    const std::u16string wide = Utf8ToUtf16(narrow);
    // Whatever came in, what comes out is well-formed and survives a round trip.
    const std::string again = Utf16ToUtf8(wide);
    if (Utf8ToUtf16(again) != wide)
        std::abort();

    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    const std::string fromUnits = Utf16ToUtf8(units);
    if (Utf16ToUtf8(Utf8ToUtf16(fromUnits)) != fromUnits)
        std::abort();

    if (std::optional<GUID> guid = GuidFromString(narrow)) {
        if (GuidFromString(GuidToString(*guid)) != guid)
            std::abort();
    }
    return 0;
}
