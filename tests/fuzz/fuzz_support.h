#pragma once

// Invariant checks for the fuzz targets: they stay on in every build type, and
// a broken one aborts so the fuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__,   \
                         __LINE__);                                                        \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

#include "runtime/runtime_error.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

// The input as the bytes of a file, without a copy.
inline QByteArray fileBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// What a file reader makes of the input, or nothing when it refuses it with
// the program's own error; that error must name the file. Any other exception
// escapes and is a finding.
template <typename Read>
auto readOrRefuse(const QString &fileName, Read read) -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const sumiraku::RuntimeError &e) {
        FUZZ_CHECK(e.file() == fileName);
        return std::nullopt;
    }
}
