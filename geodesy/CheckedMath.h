#pragma once

// Floating-point steps that raise the program's numbered errors where the old arithmetic raised
// them, instead of letting an infinity or NaN through.

#include "common/AppError.h"

#include <cmath>

namespace geodesy::checked {

// Raise error `number`; kept out of line so that the checks stay cheap on the hot paths.
[[noreturn, gnu::cold, gnu::noinline]] inline void Raise(int number) {
    throw common::AppError(number);
}

// Division; error 11 for a zero divisor, error 6 when the quotient overflows.
inline double Div(double numerator, double denominator) {
    if (denominator == 0.0) {
        Raise(common::kDivisionByZero);
    }
    const double q = numerator / denominator;
    if (!std::isfinite(q)) {
        Raise(common::kOverflow);
    }
    return q;
}

// Square root; error 5 for a negative argument.
inline double Sqrt(double x) {
    if (x < 0.0 || std::isnan(x)) {
        Raise(common::kInvalidCall);
    }
    return std::sqrt(x);
}

// A result that must be a finite number; error 6 otherwise.
inline double Finite(double x) {
    if (!std::isfinite(x)) {
        Raise(common::kOverflow);
    }
    return x;
}

} // namespace geodesy::checked
