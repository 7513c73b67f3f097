#include "cim/http/HugePageAdvice.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace cim {
namespace {

// Smaller buffers hold no whole 2 MiB page worth the extra call.
constexpr std::size_t kMinimumBytes = std::size_t{4} << 20;

} // namespace

void adviseHugePages(const void* data, std::size_t size) noexcept {
    if (size < kMinimumBytes) {
        return;
    }
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t end = (start + size) / pageSize * pageSize;
    if (begin < end) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

} // namespace cim
