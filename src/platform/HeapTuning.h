#pragma once

namespace kelvara {

// Has every large block of the process's heap (128 KB and more) served from
// a mapping of its own and given back to the system when it is freed. A
// window lives through many runs, and each run frees a result tree, its
// view's rows and read buffers of tens of MB; glibc would otherwise raise its
// threshold for such mappings to the largest block freed, so that the next
// run's growing arrays come from the heap, where the memory they leave
// behind stays resident.
void GiveBackLargeBlocks();

} // namespace kelvara
