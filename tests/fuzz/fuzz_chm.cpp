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

using namespace sumiraku;

FUZZ_TARGET(bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ChmLayout layout;
    if (!checkChmFile(buffer, &layout).isEmpty())
        return;
    FUZZ_CHECK(layout.fileSize == quint64(bytes.size()) && layout.dataOffset <= layout.fileSize);

    // One scratch file for every input, in memory where the system offers it.
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/sumiraku-fuzz-XXXXXX") : QString());
    QFile file(dir.filePath(QStringLiteral("help.chm")));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();

    QString error;
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(file.fileName(), &error);
    FUZZ_CHECK(archive || !error.isEmpty());
    if (!archive)
        return;
    FUZZ_CHECK(!archive->defaultTopic().isEmpty());
    for (const HelpTopic &topic : archive->contents()) {
        FUZZ_CHECK(topic.depth >= 0);
        if (const auto page = archive->read(topic.path)) {
            FUZZ_CHECK(quint64(page->size()) <= kChmMaxObjectSize);
            decodeHelpPage(*page);
        }
    }
}
