#pragma once

// What the batch conversions share: the check of their arrays, the instruction sets their loops
// are compiled for, and the second pass that redoes with the one-point function every point the
// vectorised loop could not convert (a NaN out of it, or inputs outside the range it handles).

#include "common/AppError.h"

#include <cmath>
#include <cstddef>
#include <span>
#include <string>

// On x86-64 Linux with GCC the loops are compiled twice, for AVX2 with FMA and for the baseline,
// and the loader picks the one the processor runs.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define GEODESY_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define GEODESY_VECTOR_CLONES
#endif

namespace geodesy::batch {

// Error 5 unless the arrays have the same length.
inline void RequireSameSize(std::size_t a, std::size_t b, std::size_t c, std::size_t d) {
    if (a != b || a != c || a != d) {
        throw common::AppError(common::kInvalidCall,
                               common::ErrorDescription(common::kInvalidCall) +
                                   ": a batch conversion needs arrays of one length, not " +
                                   std::to_string(a) + ", " + std::to_string(b) + ", " +
                                   std::to_string(c) + " and " + std::to_string(d));
    }
}

// Calls one(a[i], b[i], c[i], d[i]) for every point whose outputs c[i] and d[i] are not both
// finite or whose inputs handled(a[i], b[i]) refuses. The one-point function raises its error for
// a point it refuses, so the batch raises at the first such point.
template <typename Handled, typename One>
void RedoRefused(std::span<const double> a, std::span<const double> b, std::span<double> c,
                 std::span<double> d, Handled handled, One one) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!(std::isfinite(c[i]) && std::isfinite(d[i]) && handled(a[i], b[i]))) {
            one(a[i], b[i], c[i], d[i]);
        }
    }
}

} // namespace geodesy::batch
