#pragma once

namespace kelvara {

// Whether the processor runs AVX2 instructions; looked up once. Code that
// uses them is compiled for AVX2 on its own and called only when this holds.
inline bool HasAvx2() {
#if defined(__x86_64__)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

} // namespace kelvara
