#pragma once

// The runtime error an operation raises, for tests that check its number, file
// and detail.

#include "runtime/runtime_error.h"

#include <optional>

namespace sumiraku::testing {

template <typename Operation>
std::optional<RuntimeError> failureOf(Operation operation)
{
    try {
        operation();
    } catch (const RuntimeError &e) {
        return e;
    }
    return std::nullopt;
}

} // namespace sumiraku::testing
