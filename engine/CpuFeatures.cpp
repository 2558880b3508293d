#include "CpuFeatures.h"

namespace engine::cpu {

namespace {

bool g_allowed = true;

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The processor's answer (GCC's check includes the system's support for the
// AVX registers).
bool Supports(const char* what) {
    __builtin_cpu_init();
    return what[0] == 'a' ? __builtin_cpu_supports("avx2") : __builtin_cpu_supports("popcnt");
}
#else
bool Supports(const char*) {
    return false;
}
#endif

} // namespace

bool HasAvx2() {
    static const bool has = Supports("avx2");
    return has && g_allowed;
}

bool HasPopcnt() {
    static const bool has = Supports("popcnt");
    return has && g_allowed;
}

void AllowExtensions(bool allow) {
    g_allowed = allow;
}

} // namespace engine::cpu
