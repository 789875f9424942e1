#pragma once

// Invariant checks for the fuzz targets: they stay on in every build type, and
// a broken one aborts so the fuzzer keeps the input that broke it.

#include "runtime/runtime_error.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#define FUZZ_CHECK(condition)                                                                  \
    ((condition) ? void() : (std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, \
                                          __FILE__, __LINE__), std::abort()))

// The entry point of a target; the body that follows it takes the input as
// the bytes of a file (no copy) under the name given.
#define FUZZ_TARGET(bytes)                                                                   \
    static void fuzzTarget(const QByteArray &bytes);                                          \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                  \
    {                                                                                         \
        fuzzTarget(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size))); \
        return 0;                                                                             \
    }                                                                                         \
    static void fuzzTarget(const QByteArray &bytes)

// What a file reader makes of the input, or nothing when it refuses it with
// the program's own error, which must name the file (its number goes to
// `error`). Any other exception escapes and is a finding.
template <typename Read>
auto readOrRefuse(const QString &fileName, Read read, int *error = nullptr)
    -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const sumiraku::RuntimeError &e) {
        FUZZ_CHECK(e.file() == fileName);
        if (error)
            *error = int(e.number());
        return std::nullopt;
    }
}
