// Shared checking for the CIM fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A broken invariant is reported like a crash, so libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "round trip broken: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// decode(input) = first; encode(first) must be accepted by decode and give the same
// objects, and encoding those again must give the same text.
template <typename Decode, typename Encode>
void checkRoundTrip(const std::string& input, Decode decode, Encode encode) {
    auto first = decode(input);
    const std::string encoded = encode(first);
    auto second = decode(encoded);
    if (!(first == second)) {
        broken("second decode differs", encoded);
    }
    if (encode(second) != encoded) {
        broken("second encode differs", encoded);
    }
}

} // namespace fuzz
