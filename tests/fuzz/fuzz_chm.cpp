// Arbitrary bytes as a compiled help file. The checks must refuse or pass
// them quickly; a file they pass is opened through chmlib from a scratch file,
// and its contents, default topic and every page the contents name are read
// and decoded. Nothing may crash, hang or read out of bounds, and what is
// read stays within the limits the archive promises.

#include "fuzz_support.h"

#include "helpviewer/chmarchive.h"
#include "helpviewer/chmcheck.h"
#include "helpviewer/chmcontents.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

using namespace sumiraku;

namespace {

// One scratch file for every input, in memory when the system offers it.
const QString &scratchFile()
{
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/sumiraku-fuzz-XXXXXX")
                                 : QString());
    static const QString file = dir.filePath(QStringLiteral("help.chm"));
    FUZZ_CHECK(dir.isValid());
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = fileBytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ChmLayout layout;
    if (!checkChmFile(buffer, &layout).isEmpty())
        return 0;
    FUZZ_CHECK(layout.fileSize == size);
    FUZZ_CHECK(layout.dataOffset <= layout.fileSize);

    QFile file(scratchFile());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    file.close();

    QString error;
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(scratchFile(), &error);
    FUZZ_CHECK(archive || !error.isEmpty());
    if (!archive)
        return 0;
    FUZZ_CHECK(!archive->defaultTopic().isEmpty());
    for (const HelpTopic &topic : archive->contents()) {
        FUZZ_CHECK(topic.depth >= 0);
        if (const auto page = archive->read(topic.path)) {
            FUZZ_CHECK(quint64(page->size()) <= kChmMaxObjectSize);
            decodeHelpPage(*page);
        }
    }
    return 0;
}
