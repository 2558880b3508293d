// Processor extensions the engine uses where they exist: AVX2 for sampling
// and for the key tables, POPCNT for counting mismatching pixels. The
// program is built for the plain x86-64 (or any other) processor and picks
// the faster code at run time; every fast path has a plain twin that gives
// the same results.
#pragma once

namespace engine::cpu {

// Whether the processor has the extension and its use is allowed.
bool HasAvx2();
bool HasPopcnt();

// Tests turn the extensions off to run the plain paths.
void AllowExtensions(bool allow);

} // namespace engine::cpu
