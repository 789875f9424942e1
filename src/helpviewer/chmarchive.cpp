#include "helpviewer/chmarchive.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>
#include <chm_lib.h>

namespace sumiraku {
namespace {

struct SystemRecord {
    QString contentsFile;
    QString defaultTopic;
    QString title;
};

// The system object: a version, then entries of a 16-bit code, a 16-bit length and
// that many bytes, strings ending in a zero byte.
SystemRecord parseSystemRecord(QByteArrayView data)
{
    SystemRecord record;
    for (qsizetype at = 4; at + 4 <= data.size();) {
        const quint16 code = qFromLittleEndian<quint16>(data.data() + at);
        const quint16 length = qFromLittleEndian<quint16>(data.data() + at + 2);
        at += 4;
        if (length > data.size() - at)
            break;
        QByteArrayView value = data.sliced(at, length);
        if (const qsizetype end = value.indexOf('\0'); end >= 0)
            value.truncate(end);
        at += length;
        if (code == 0)
            record.contentsFile = decodeHelpText(value);
        else if (code == 2)
            record.defaultTopic = decodeHelpText(value);
        else if (code == 3)
            record.title = decodeHelpText(value);
    }
    return record;
}

struct Search {
    QStringList suffixes;
    QString found;
};

int onObject(chmFile *, chmUnitInfo *unit, void *context)
{
    auto *search = static_cast<Search *>(context);
    const QString path = QString::fromUtf8(unit->path, qstrnlen(unit->path, CHM_MAX_PATHLEN));
    for (const QString &suffix : search->suffixes) {
        if (path.endsWith(suffix, Qt::CaseInsensitive)) {
            search->found = path;
            return CHM_ENUMERATOR_SUCCESS;
        }
    }
    return CHM_ENUMERATOR_CONTINUE;
}

std::unique_ptr<ChmArchive> failure(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return nullptr;
}

} // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const QString &fileName, QString *error)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return failure(error, QStringLiteral("ファイルが見つかりません。"));
    QFile file(info.absoluteFilePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return failure(error, info.isFile() ? file.errorString() : QStringLiteral("ファイルではありません。"));

    std::unique_ptr<ChmArchive> archive(new ChmArchive);
    if (const QString why = checkChmFile(file, &archive->layout_); !why.isEmpty())
        return failure(error, why);
    archive->handle_ = chm_open(QFile::encodeName(info.absoluteFilePath()).constData());
    if (!archive->handle_)
        return failure(error, QStringLiteral("ヘルプファイルの形式ではありません。"));

    const std::optional<QByteArray> system = archive->read(QStringLiteral("/#SYSTEM"));
    const SystemRecord record = system ? parseSystemRecord(*system) : SystemRecord{};
    archive->title_ = record.title.trimmed();
    const QString contentsFile = record.contentsFile.isEmpty()
                                     ? archive->findPage({QStringLiteral(".hhc")})
                                     : helpPath(record.contentsFile);
    if (const auto sitemap = archive->read(contentsFile))
        archive->contents_ = parseHelpContents(decodeHelpPage(*sitemap));
    archive->chooseDefaultTopic(record.defaultTopic);
    if (archive->defaultTopic_.isEmpty())
        return failure(error, QStringLiteral("表示できるページがありません。"));
    return archive;
}

ChmArchive::~ChmArchive()
{
    if (handle_)
        chm_close(handle_);
}

std::optional<QByteArray> ChmArchive::read(const QString &path) const
{
    const QByteArray name = path.toUtf8();
    chmUnitInfo unit{};
    if (!name.startsWith('/') || name.size() > CHM_MAX_PATHLEN
        || chm_resolve_object(handle_, name.constData(), &unit) != CHM_RESOLVE_SUCCESS
        || unit.length > kChmMaxObjectSize)
        return std::nullopt;
    // The directory was checked, but an entry may still point past the end of a cut file.
    const quint64 room = unit.space == CHM_UNCOMPRESSED ? layout_.fileSize - layout_.dataOffset
                         : unit.space == CHM_COMPRESSED ? layout_.uncompressedLength
                                                         : 0;
    if (unit.start > room || unit.length > room - unit.start)
        return std::nullopt;
    QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length > 0
        && chm_retrieve_object(handle_, &unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                               LONGINT64(unit.length)) != LONGINT64(unit.length))
        return std::nullopt;
    return data;
}

bool ChmArchive::exists(const QString &path) const
{
    const QByteArray name = path.toUtf8();
    chmUnitInfo unit{};
    return name.startsWith('/') && !name.endsWith('/') && name.size() <= CHM_MAX_PATHLEN
           && chm_resolve_object(handle_, name.constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

QString ChmArchive::findPage(const QStringList &suffixes) const
{
    Search search{suffixes, {}};
    chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, onObject, &search);
    return search.found;
}

// The topic the file names, else the usual start pages, else the first page of the
// contents, else any page at all.
void ChmArchive::chooseDefaultTopic(const QString &named)
{
    QStringList candidates;
    if (!named.isEmpty())
        candidates << helpPath(named);
    candidates << QStringLiteral("/index.htm") << QStringLiteral("/index.html")
               << QStringLiteral("/default.htm") << QStringLiteral("/default.html");
    for (const HelpTopic &topic : contents_)
        candidates << topic.path;
    for (const QString &path : std::as_const(candidates)) {
        if (exists(path)) {
            defaultTopic_ = path;
            return;
        }
    }
    defaultTopic_ = findPage({QStringLiteral(".htm"), QStringLiteral(".html")});
}

} // namespace sumiraku
