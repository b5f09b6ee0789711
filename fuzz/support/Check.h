#pragma once

// A broken invariant in a fuzz target: abort, so that libFuzzer (or the replay) reports the input.

#include <cstdlib>

namespace fuzzsupport {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace fuzzsupport
