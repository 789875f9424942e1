#pragma once

// Checks on a compiled help file before chmlib sees it. chmlib trusts the offsets,
// sizes and chunk links it reads, so a damaged or hostile file could make it read
// past its buffers, divide by zero or walk a cycle of directory chunks for ever.

#include <QString>
#include <QtGlobal>

class QIODevice;

namespace sumiraku {

// Nothing larger is read from a help file into memory.
inline constexpr quint64 kChmMaxObjectSize = 16u * 1024 * 1024;

struct ChmLayout {
    quint64 fileSize = 0;
    quint64 dataOffset = 0;          // where the objects of the uncompressed section start
    quint64 uncompressedLength = 0;  // of the compressed section; 0 when it has none
};

// Checks the file header, the directory and the parameters of the compressed section:
// signatures, that offsets and sizes lie inside the file, that entries lie inside their
// chunk, that chunk links form no cycle and that the decompressor's parameters are sane.
// Returns an error text, empty when chmlib may open the file.
QString checkChmFile(QIODevice &file, ChmLayout *layout);

} // namespace sumiraku
