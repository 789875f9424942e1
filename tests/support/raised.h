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

// "<number> <file>" of the error an operation raises; empty when it raises none.
template <typename Operation>
QString failureSummary(Operation operation)
{
    const auto error = failureOf(operation);
    return error ? QStringLiteral("%1 %2").arg(int(error->number())).arg(error->file()) : QString();
}

} // namespace sumiraku::testing
