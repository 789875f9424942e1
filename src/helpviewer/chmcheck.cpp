#include "helpviewer/chmcheck.h"

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>
#include <deque>
#include <vector>

namespace sumiraku {
namespace {

constexpr quint64 kItsfV2HeaderLength = 0x58;
constexpr quint64 kItsfV3HeaderLength = 0x60;
constexpr quint64 kItspHeaderLength = 0x54;
constexpr quint64 kMaxPathLength = 512;       // chmlib's buffer for one name
constexpr quint64 kLzxBlockLength = 0x8000;   // every compiler writes 32 KiB frames
constexpr quint64 kLzxBlockSlack = 6144;      // chmlib's room for one compressed block
constexpr quint64 kMaxBlocksPerReset = 1024;  // bounds the work of decompressing one block

const QString kNotHelpFile = QStringLiteral("ヘルプファイルの形式ではありません。");
const QString kTruncated = QStringLiteral("ファイルが途中で切れています。");
const QString kBadHeader = QStringLiteral("ヘッダーの値が正しくありません。");
const QString kBadDirectory = QStringLiteral("ファイルの索引が壊れています。");
const QString kCycle = QStringLiteral("ファイルの索引が循環しています。");
const QString kBadCompression = QStringLiteral("圧縮データの設定が正しくありません。");

quint32 le32(const char *p) { return qFromLittleEndian<quint32>(p); }
quint64 le64(const char *p) { return qFromLittleEndian<quint64>(p); }

bool readAt(QIODevice &file, quint64 offset, quint64 length, QByteArray &out)
{
    if (length > kChmMaxObjectSize || !file.seek(qint64(offset)))
        return false;
    out = file.read(qint64(length));
    return quint64(out.size()) == length;
}

// The directory's variable-length integers: seven bits a byte, high bit set on all but the last.
bool readEncInt(const char *&p, const char *end, quint64 &value)
{
    value = 0;
    for (int i = 0; i < 9 && p < end; ++i) {
        const auto byte = static_cast<unsigned char>(*p++);
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

struct Entry {
    quint64 space = 0, start = 0, length = 0;
    int count = 0;
};

// The three objects that chmlib reads to set up decompression while it opens the file.
struct CompressionEntries {
    Entry control, resetTable, content;

    void note(QByteArrayView name, const Entry &e)
    {
        static const QByteArray control("::DataSpace/Storage/MSCompressed/ControlData");
        static const QByteArray content("::DataSpace/Storage/MSCompressed/Content");
        static const QByteArray reset("::DataSpace/Storage/MSCompressed/Transform/"
                                      "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
        // chmlib compares names without regard to case.
        for (auto [known, slot] : {std::pair{&control, &this->control},
                                   std::pair{&content, &this->content},
                                   std::pair{&reset, &this->resetTable}}) {
            if (name.compare(*known, Qt::CaseInsensitive) == 0) {
                const int count = slot->count + 1;
                *slot = e;
                slot->count = count;
            }
        }
    }
};

struct Chunk {
    bool listing = false;
    bool index = false;
    qint64 next = -1;
    std::vector<quint32> children;
};

QString parseChunk(QByteArrayView chunk, quint32 blockCount, Chunk &out, CompressionEntries &found)
{
    const char *base = chunk.data();
    const quint64 size = quint64(chunk.size());
    const bool listing = chunk.startsWith("PMGL");
    if (!listing && !chunk.startsWith("PMGI"))
        return {};   // unused chunk; the link checks refuse any link to it
    const quint64 headerLength = listing ? 20 : 8;
    const quint64 freeSpace = le32(base + 4);
    if (freeSpace > size - headerLength)
        return kBadDirectory;
    if (listing) {
        const auto next = qint32(le32(base + 16));
        if (next < -1 || (next >= 0 && quint32(next) >= blockCount))
            return kBadDirectory;
        out.next = next;
    }
    out.listing = listing;
    out.index = !listing;
    const char *p = base + headerLength;
    const char *end = base + (size - freeSpace);
    while (p < end) {
        quint64 nameLength = 0;
        if (!readEncInt(p, end, nameLength) || nameLength > kMaxPathLength
            || nameLength > quint64(end - p))
            return kBadDirectory;
        const QByteArrayView name(p, qsizetype(nameLength));
        p += nameLength;
        if (listing) {
            Entry e;
            if (!readEncInt(p, end, e.space) || !readEncInt(p, end, e.start)
                || !readEncInt(p, end, e.length))
                return kBadDirectory;
            found.note(name, e);
        } else {
            quint64 child = 0;
            if (!readEncInt(p, end, child) || child >= blockCount)
                return kBadDirectory;
            out.children.push_back(quint32(child));
        }
    }
    return {};
}

// chmlib follows the listing chain when it enumerates and descends the index chunks when
// it looks a name up; it loops for ever on a cycle in either.
QString checkLinks(const std::vector<Chunk> &chunks, qint64 indexHead)
{
    std::vector<bool> seen(chunks.size());
    for (qint64 b = indexHead; b != -1; b = chunks[size_t(b)].next) {
        if (!chunks[size_t(b)].listing)
            return kBadDirectory;
        if (seen[size_t(b)])
            return kCycle;
        seen[size_t(b)] = true;
    }
    // Peel index chunks that no other index chunk points to; whatever is left holds a cycle.
    std::vector<int> incoming(chunks.size());
    size_t indexCount = 0;
    for (const Chunk &c : chunks) {
        indexCount += c.index;
        for (quint32 child : c.children)
            incoming[child] += chunks[child].index;
    }
    std::deque<size_t> ready;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].index && incoming[i] == 0)
            ready.push_back(i);
    }
    size_t peeled = 0;
    while (!ready.empty()) {
        const size_t i = ready.front();
        ready.pop_front();
        ++peeled;
        for (quint32 child : chunks[i].children) {
            if (chunks[child].index && --incoming[child] == 0)
                ready.push_back(child);
        }
    }
    return peeled == indexCount ? QString() : kCycle;
}

QString checkControlData(const QByteArray &d)
{
    if (d.size() < 24 || d.mid(4, 4) != "LZXC")
        return kBadCompression;
    const quint32 version = le32(d.constData() + 8);
    quint64 resetInterval = le32(d.constData() + 12);
    quint64 windowSize = le32(d.constData() + 16);
    const quint64 windowsPerReset = le32(d.constData() + 20);
    if (version == 2) {
        resetInterval *= 0x8000;
        windowSize *= 0x8000;
    } else if (version != 1) {
        return kBadCompression;
    }
    const bool powerOfTwo = windowSize != 0 && (windowSize & (windowSize - 1)) == 0;
    if (!powerOfTwo || windowSize < (1u << 15) || windowSize > (1u << 21) || resetInterval == 0
        || resetInterval % (windowSize / 2) != 0 || windowsPerReset == 0)
        return kBadCompression;
    const quint64 blocksPerReset = resetInterval / (windowSize / 2) * windowsPerReset;
    return blocksPerReset <= kMaxBlocksPerReset ? QString() : kBadCompression;
}

QString checkResetTable(const QByteArray &d, quint64 contentLength, quint64 *uncompressedLength)
{
    if (d.size() < 40 || le32(d.constData()) != 2)
        return kBadCompression;
    const quint64 blockCount = le32(d.constData() + 4);
    const quint64 tableOffset = le32(d.constData() + 12);
    const quint64 uncompressed = le64(d.constData() + 16);
    const quint64 compressed = le64(d.constData() + 24);
    const quint64 blockLength = le64(d.constData() + 32);
    if (blockLength != kLzxBlockLength || compressed > contentLength
        || tableOffset > quint64(d.size()) || blockCount > (quint64(d.size()) - tableOffset) / 8
        || uncompressed > blockCount * blockLength)
        return kBadCompression;
    quint64 previous = 0;
    for (quint64 i = 0; i <= blockCount; ++i) {
        const quint64 start = i < blockCount ? le64(d.constData() + tableOffset + i * 8) : compressed;
        if (start < previous || start > compressed
            || (i > 0 && start - previous > blockLength + kLzxBlockSlack))
            return kBadCompression;
        previous = start;
    }
    *uncompressedLength = uncompressed;
    return {};
}

QString checkCompression(QIODevice &file, const CompressionEntries &found, ChmLayout &layout)
{
    const Entry *entries[] = {&found.control, &found.resetTable, &found.content};
    for (const Entry *e : entries) {
        if (e->count > 1)
            return kBadDirectory;
        if (e->count == 0)
            return {};   // chmlib then reads no compressed section at all
        // chmlib would decompress these before it has the parameters to do so.
        if (e->space != 0)
            return kBadCompression;
        if (e->start > layout.fileSize || e->length > layout.fileSize - e->start
            || layout.dataOffset + e->start + e->length > layout.fileSize)
            return kTruncated;
    }
    QByteArray control, resetTable;
    if (!readAt(file, layout.dataOffset + found.control.start, found.control.length, control)
        || !readAt(file, layout.dataOffset + found.resetTable.start, found.resetTable.length,
                   resetTable))
        return kBadCompression;
    QString error = checkControlData(control);
    if (error.isEmpty())
        error = checkResetTable(resetTable, found.content.length, &layout.uncompressedLength);
    return error;
}

} // namespace

QString checkChmFile(QIODevice &file, ChmLayout *layout)
{
    ChmLayout l;
    l.fileSize = quint64(file.size());
    QByteArray h;
    if (!readAt(file, 0, kItsfV2HeaderLength, h))
        return !h.isEmpty() && QByteArrayView("ITSF").startsWith(h.left(4)) ? kTruncated : kNotHelpFile;
    if (!h.startsWith("ITSF"))
        return kNotHelpFile;
    const quint32 version = le32(h.constData() + 4);
    const quint64 headerLength = le32(h.constData() + 8);
    const quint64 dirOffset = le64(h.constData() + 72);
    const quint64 dirLength = le64(h.constData() + 80);
    if ((version != 2 && version != 3) || headerLength > l.fileSize)
        return kBadHeader;
    if (dirOffset > l.fileSize || dirLength > l.fileSize - dirOffset)
        return kTruncated;
    if (dirLength > kChmMaxObjectSize || dirLength < kItspHeaderLength)
        return kBadHeader;
    l.dataOffset = dirOffset + dirLength;
    if (version == 3) {
        QByteArray v3;
        if (headerLength < kItsfV3HeaderLength || !readAt(file, 0, kItsfV3HeaderLength, v3))
            return kBadHeader;
        l.dataOffset = le64(v3.constData() + 88);
        if (l.dataOffset > l.fileSize)
            return kTruncated;
    }

    QByteArray dir;
    if (!readAt(file, dirOffset, dirLength, dir))
        return kTruncated;
    if (!dir.startsWith("ITSP") || le32(dir.constData() + 8) != kItspHeaderLength)
        return kBadHeader;
    const quint64 blockLength = le32(dir.constData() + 16);
    const auto indexRoot = qint32(le32(dir.constData() + 28));
    const auto indexHead = qint32(le32(dir.constData() + 32));
    const quint64 blockCount = le32(dir.constData() + 44);   // +40 holds -1
    if (blockLength < 256 || blockLength > 65536 || blockCount == 0
        || blockCount > (dirLength - kItspHeaderLength) / blockLength)
        return kBadHeader;
    if (indexHead < 0 || quint64(indexHead) >= blockCount || indexRoot < -1
        || (indexRoot >= 0 && quint64(indexRoot) >= blockCount))
        return kBadHeader;

    std::vector<Chunk> chunks(blockCount);
    CompressionEntries found;
    for (quint64 b = 0; b < blockCount; ++b) {
        const QByteArrayView chunk(dir.constData() + kItspHeaderLength + b * blockLength,
                                   qsizetype(blockLength));
        const QString error = parseChunk(chunk, quint32(blockCount), chunks[b], found);
        if (!error.isEmpty())
            return error;
    }
    QString error = checkLinks(chunks, indexHead);
    if (error.isEmpty())
        error = checkCompression(file, found, l);
    if (error.isEmpty() && layout)
        *layout = l;
    return error;
}

} // namespace sumiraku
