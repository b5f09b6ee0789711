#pragma once

// The number of the error a call raises, or 0 when it returns.

#include "common/AppError.h"

namespace testing_support {

template <typename Call> int ErrorOf(Call&& call) {
    try {
        call();
    } catch (const common::AppError& e) {
        return e.number();
    }
    return 0;
}

} // namespace testing_support
