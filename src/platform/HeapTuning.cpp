#include "platform/HeapTuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvara {

void GiveBackLargeBlocks() {
#if defined(__GLIBC__)
    // glibc's own starting value; setting it turns the raising off.
    constexpr int kMappedFrom = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, kMappedFrom);
#endif
}

} // namespace kelvara
