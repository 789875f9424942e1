#include "runtime/seqfile.h"

#include "runtime/cp932.h"
#include "runtime/write_faults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sumiraku {

namespace {

[[noreturn]] void fail(ErrorNumber number, const QString &fileName, Access access,
                       const QString &reason)
{
    throw RuntimeError(number, fileName, reason, access);
}

QString systemReason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// errno taken right after the failing call names the reason; Qt only keeps it
// as text. A missing folder on the way to a file to be written is a path error,
// not a missing file.
ErrorNumber numberForErrno(int err, bool writing)
{
    switch (err) {
    case ENOENT:
        return writing ? ErrorNumber::PathFileAccess : ErrorNumber::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EISDIR:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ErrorNumber::PathFileAccess;
    default:
        return ErrorNumber::DeviceIo;
    }
}

// The reason in the player's words. A folder that takes no new file is named
// as the culprit, not the file that could not be made in it.
QString reasonFor(int err, const QString &fileName, bool writing, bool folderRefuses)
{
    switch (err) {
    case ENOENT:
        return writing ? QStringLiteral("ファイルを置くフォルダーがありません。")
                       : QStringLiteral("ファイルがありません。");
    case EACCES:
    case EPERM:
        if (writing && folderRefuses) {
            return QStringLiteral("フォルダー %1 に新しいファイルを作る権限がありません（読み取り専用のフォルダー）。")
                .arg(QDir::toNativeSeparators(QFileInfo(fileName).absolutePath()));
        }
        return writing ? QStringLiteral("このファイルに書き込む権限がありません（読み取り専用のファイル）。")
                       : QStringLiteral("このファイルを読む権限がありません。");
    case EROFS: return QStringLiteral("読み取り専用のドライブです。");
    case ETXTBSY: return QStringLiteral("ほかのプログラムが使用中です。");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクの空き容量が不足しています。");
    case EFBIG: return QStringLiteral("ファイルが大きすぎます。");
    case EISDIR: return QStringLiteral("ファイルではなくフォルダーです。");
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return QStringLiteral("パスが正しくありません。");
    case EIO: return QStringLiteral("ディスクの読み書きでエラーが起きました。");
    default: return QStringLiteral("システムのエラーです（%1）。").arg(systemReason(err));
    }
}

RuntimeError ioError(int err, const QString &fileName, bool writing, bool folderRefuses = false)
{
    return RuntimeError(numberForErrno(err, writing), fileName,
                        reasonFor(err, fileName, writing, folderRefuses),
                        writing ? Access::Write : Access::Read);
}

[[noreturn]] void failOpen(const QFileDevice &file, const QString &fileName, int err, bool writing)
{
    // QSaveFile refuses a read-only target by itself, leaving errno alone.
    const QFileInfo info(fileName);
    const bool fileRefuses = info.exists() && !(writing ? info.isWritable() : info.isReadable());
    if (err == 0 && fileRefuses)
        err = EACCES;
    if (err == 0)
        fail(ErrorNumber::DeviceIo, fileName, writing ? Access::Write : Access::Read, file.errorString());
    throw ioError(err, fileName, writing, !fileRefuses);
}

// Reads what went wrong in a write before anything else touches the file.
RuntimeError writeError(const QFileDevice &file, const QString &fileName, int err)
{
    if (file.error() == QFileDevice::ResourceError)
        err = ENOSPC;
    if (err == 0)
        return RuntimeError(ErrorNumber::DeviceIo, fileName, file.errorString(), Access::Write);
    // A short write leaves Qt without an error of its own; errno has the reason.
    return ioError(err, fileName, true);
}

[[noreturn]] void failNotRegular(const QString &fileName, bool writing)
{
    fail(ErrorNumber::PathFileAccess, fileName, writing ? Access::Write : Access::Read,
         QStringLiteral("通常のファイルではありません（名前付きパイプやデバイスなど）。"));
}

// Only a plain file is a data file. Qt refuses a folder itself, without an
// errno to go by; a FIFO would block the open, a device never end.
void refuseSpecial(const QString &fileName, bool writing)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        throw ioError(EISDIR, fileName, writing);
    if (info.exists() && !info.isFile())
        failNotRegular(fileName, writing);
}

[[noreturn]] void failTooLarge(const QString &fileName)
{
    fail(ErrorNumber::Overflow, fileName, Access::Read,
         QStringLiteral("ファイルが大きすぎます。データファイルは %1 MB までです。")
             .arg(kMaxDataFileBytes >> 20));
}

WriteFaults *plannedFaults = nullptr;

// The errno the installed plan makes opening `fileName` for writing fail with,
// or 0. `createsFile` is true when a new file appears in the folder (a missing
// file, or the scratch copy a replacement is written to).
int plannedOpenError(const QString &fileName, bool createsFile)
{
    if (!plannedFaults)
        return 0;
    if (plannedFaults->folderReadOnly && createsFile)
        return EACCES;
    if (plannedFaults->fileReadOnly && QFileInfo::exists(fileName))
        return EACCES;
    return 0;
}

[[noreturn]] void failPlannedOpen(const QString &fileName, int err)
{
    throw ioError(err, fileName, true, !QFileInfo::exists(fileName));
}

// One write, through the plan: a full disk takes what room it has left and
// refuses the rest, as the system does. Returns the bytes written; errno is
// set when fewer were.
qint64 writeThrough(QFileDevice &file, const QByteArray &bytes)
{
    errno = 0;
    if (!plannedFaults || plannedFaults->diskRoom < 0)
        return file.write(bytes);
    if (plannedFaults->diskRoom >= bytes.size()) {
        plannedFaults->diskRoom -= bytes.size();
        return file.write(bytes);
    }
    const qint64 room = plannedFaults->diskRoom;
    plannedFaults->diskRoom = 0;
    const qint64 written = room > 0 ? file.write(bytes.first(room)) : 0;
    if (written == room)
        errno = ENOSPC;
    return written;
}

// Opens a file for writing and writes the bytes in one call; a failure of
// either is raised.
void writeWhole(QFileDevice &file, QIODevice::OpenMode mode, const QString &fileName,
                const QByteArray &bytes)
{
    errno = 0;
    if (!file.open(mode | QIODevice::WriteOnly | QIODevice::Unbuffered))
        failOpen(file, fileName, errno, true);
    if (writeThrough(file, bytes) != bytes.size())
        throw writeError(file, fileName, errno);
}

// Flushes a written file to the disk, so that what is reported as saved is
// still there after a power cut; errno is set when it fails.
bool syncToDisk(const QFileDevice &file)
{
    if (plannedFaults && plannedFaults->syncFails) {
        errno = EIO;
        return false;
    }
    return ::fsync(file.handle()) == 0;
}

// The rename itself lives in the folder: flushed too. Some file systems
// cannot flush a folder; the file is in place then all the same.
void syncFolderOf(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The new copy takes the mode and, where the system lets us, the owner of
// the file it replaces: a player's file stays theirs, a read-only one stays so.
void keepModeAndOwner(const QFileDevice &copy, const QString &fileName)
{
    struct stat old {};
    if (::stat(QFile::encodeName(fileName).constData(), &old) != 0)
        return;
    if (::fchown(copy.handle(), old.st_uid, old.st_gid) != 0)
        static_cast<void>(::fchown(copy.handle(), uid_t(-1), old.st_gid));
    ::fchmod(copy.handle(), old.st_mode & 07777);
}

bool folderTakesNewFiles(const QString &fileName)
{
    if (plannedFaults)
        return !plannedFaults->folderReadOnly;
    return QFileInfo(QFileInfo(fileName).absolutePath()).isWritable();
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The first of the bytes A, B and C at or after pos, or size. Where the
// compiler targets SSE2, sixteen bytes are looked at in one step: a file is
// hundreds of thousands of fields.
template <char A, char B = A, char C = A>
Q_ALWAYS_INLINE qsizetype findAny(const char *text, qsizetype pos, qsizetype size)
{
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi8(A), b = _mm_set1_epi8(B), c = _mm_set1_epi8(C);
    for (; size - pos >= 16; pos += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + pos));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, a), _mm_cmpeq_epi8(bytes, b)),
                                          _mm_cmpeq_epi8(bytes, c));
        if (const int mask = _mm_movemask_epi8(hits))
            return pos + std::countr_zero(unsigned(mask));
    }
#endif
    while (pos < size && text[pos] != A && text[pos] != B && text[pos] != C)
        ++pos;
    return pos;
}

Q_ALWAYS_INLINE qsizetype nextDelimiter(const char *text, qsizetype pos, qsizetype size)
{
    return findAny<',', '\r', '\n'>(text, pos, size);
}

// The field that begins at pos, as [start, end) of text, by the rules of
// FieldReader; returns where the next one begins.
Q_ALWAYS_INLINE qsizetype scanField(QByteArrayView view, qsizetype pos, qsizetype &start, qsizetype &end)
{
    const char *const text = view.data();
    const qsizetype size = view.size();
    while (pos < size && isBlank(text[pos]))
        ++pos;
    const bool quoted = pos < size && text[pos] == '"';
    start = quoted ? pos + 1 : pos;
    end = quoted ? findAny<'"'>(text, start, size) : nextDelimiter(text, start, size);
    pos = quoted ? nextDelimiter(text, qMin(end + 1, size), size) : end;
    if (!quoted) {
        while (end > start && isBlank(text[end - 1]))
            --end;
    }
    if (pos < size) {
        const bool cr = text[pos++] == '\r';
        if (cr && pos < size && text[pos] == '\n')
            ++pos;
    }
    return pos;
}

QString shortened(const QString &text)
{
    constexpr qsizetype kMax = 40;
    return text.size() <= kMax ? text : text.left(kMax) + u'…';
}

} // namespace

QByteArray readFileBytes(const QString &fileName)
{
    refuseSpecial(fileName, false);
    // What was checked by name may have been swapped since: the open itself
    // must not wait for a FIFO's writer, and the file opened is checked again.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ioError(errno, fileName, false);
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        failNotRegular(fileName, false);
    if (st.st_size > kMaxDataFileBytes)
        failTooLarge(fileName);
    QByteArray bytes = file.read(kMaxDataFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        fail(ErrorNumber::DeviceIo, fileName, Access::Read, file.errorString());
    if (bytes.size() > kMaxDataFileBytes)   // grown since
        failTooLarge(fileName);
    return bytes;
}

QByteArrayView textOfFile(QByteArrayView bytes)
{
    const qsizetype mark = bytes.indexOf('\x1A');
    return mark < 0 ? bytes : bytes.first(mark);
}

QByteArray ownedTextOfFile(QByteArray bytes)
{
    bytes.truncate(textOfFile(bytes).size());
    return bytes;
}

void requireCp932(QByteArrayView bytes, const QString &fileName)
{
    const QString problem = bytes.startsWith("\xEF\xBB\xBF")
                                ? QStringLiteral("先頭に UTF-8 のバイト順マーク (BOM) があります。")
                                : isJapaneseUtf8(bytes) ? QStringLiteral("UTF-8 で保存されています。")
                                                         : QString();
    if (!problem.isEmpty()) {
        fail(ErrorNumber::InvalidFileFormat, fileName, Access::Read,
             problem + QStringLiteral("Shift_JIS (コードページ 932) で保存し直してください。"));
    }
}

FieldReader::FieldReader(QByteArray text, QString fileName)
    : text_(std::move(text)), fileName_(std::move(fileName))
{
}

QByteArrayView FieldReader::readView()
{
    if (atEnd())
        throw RuntimeError(ErrorNumber::InputPastEnd, fileName_, {}, Access::Read);

    qsizetype start = 0, end = 0;
    fieldStart_ = pos_;
    pos_ = scanField(text_, pos_, start, end);
    return QByteArrayView(text_).sliced(start, end - start);
}

qsizetype FieldReader::line() const
{
    // CR LF, a lone CR and a lone LF each end a line.
    const QByteArrayView before = QByteArrayView(text_).first(fieldStart_);
    return 1 + before.count('\n') + before.count('\r') - before.count("\r\n");
}

qsizetype countFields(QByteArrayView bytes)
{
    qsizetype fields = 0, start = 0, end = 0;
    for (qsizetype pos = 0; pos < bytes.size(); ++fields)
        pos = scanField(bytes, pos, start, end);
    return fields;
}

QString FieldReader::readString()
{
    return decodeCp932(readView());
}

// Only an optional sign and decimal digits count as an integer. The classic
// reader would also take "12.5" or "1e3" and round them, but the program never
// writes such a field, so one in a file is damage and is reported rather than
// silently rounded. An empty field is not an integer either.
qint16 FieldReader::readInteger()
{
    const QByteArrayView field = readView();
    QByteArrayView digits = field;
    while (!digits.isEmpty() && isBlank(digits.front()))
        digits = digits.sliced(1);
    while (!digits.isEmpty() && isBlank(digits.back()))
        digits.chop(1);

    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits = digits.sliced(1);
    }
    const auto detail = [field] {
        return QStringLiteral("値: \"%1\"").arg(shortened(decodeCp932(field)));
    };
    if (digits.isEmpty())
        throw RuntimeError(ErrorNumber::TypeMismatch, fileName_, detail(), Access::Read);

    qint32 magnitude = 0;
    bool tooLarge = false;
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw RuntimeError(ErrorNumber::TypeMismatch, fileName_, detail(), Access::Read);
        if (!tooLarge) {
            magnitude = magnitude * 10 + (c - '0');
            tooLarge = magnitude > 32768;
        }
    }
    const qint32 value = negative ? -magnitude : magnitude;
    if (tooLarge || value > 32767)
        throw RuntimeError(ErrorNumber::Overflow, fileName_, detail(), Access::Read);
    return qint16(value);
}

QString formatRecord(std::initializer_list<RecordField> fields)
{
    QString line;
    for (const RecordField &field : fields) {
        if (!line.isEmpty())
            line += u',';
        if (const auto *text = std::get_if<QString>(&field))
            line += u'"' + *text + u'"';
        else
            line += QString::number(std::get<qint32>(field));
    }
    return line + QStringLiteral("\r\n");
}

void replaceFile(const QString &fileName, const QByteArray &bytes)
{
    refuseSpecial(fileName, true);
    // No scratch copy can be made in such a folder: the file is written over.
    if (QFileInfo::exists(fileName) && !folderTakesNewFiles(fileName)) {
        if (const int err = plannedOpenError(fileName, false))
            failPlannedOpen(fileName, err);
        QFile file(fileName);
        writeWhole(file, QIODevice::Truncate, fileName, bytes);
        if (!syncToDisk(file))
            throw ioError(errno, fileName, true);
        return;
    }
    if (const int err = plannedOpenError(fileName, true))
        failPlannedOpen(fileName, err);
    QSaveFile file(fileName);
    writeWhole(file, {}, fileName, bytes);
    keepModeAndOwner(file, fileName);
    // The scratch copy goes when the file closes.
    if (!syncToDisk(file)) {
        const int err = errno;
        file.cancelWriting();
        throw ioError(err, fileName, true);
    }
    if (plannedFaults && plannedFaults->renameFails) {
        file.cancelWriting();
        throw ioError(EIO, fileName, true);
    }
    errno = 0;
    if (!file.commit())
        throw writeError(file, fileName, errno);
    syncFolderOf(fileName);
}

void appendToFile(const QString &fileName, const QByteArray &bytes)
{
    refuseSpecial(fileName, true);
    const bool existed = QFileInfo::exists(fileName);
    if (const int err = plannedOpenError(fileName, !existed))
        failPlannedOpen(fileName, err);
    // Unbuffered: the record goes to the system in one write call, not in
    // pieces through Qt's buffer.
    QFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        failOpen(file, fileName, errno, true);
    const qint64 oldSize = file.size();
    const qint64 written = writeThrough(file, bytes);
    int err = errno;
    if (written == bytes.size() && file.flush()) {
        if (syncToDisk(file)) {
            if (!existed)
                syncFolderOf(fileName);
            return;
        }
        err = errno;
    }

    // Leave no partial record behind: the next reader would take the fields
    // shifted. A file this call created goes again.
    const RuntimeError error = writeError(file, fileName, err);
    if (!file.isSequential())
        file.resize(oldSize);
    file.close();
    if (!existed)
        QFile::remove(fileName);
    throw error;
}

void emptyFile(const QString &fileName)
{
    refuseSpecial(fileName, true);
    if (const int err = plannedOpenError(fileName, !QFileInfo::exists(fileName)))
        failPlannedOpen(fileName, err);
    QFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        failOpen(file, fileName, errno, true);
    // Not through the plan: the file is empty already and cannot be put back.
    if (::fsync(file.handle()) != 0)
        throw ioError(errno, fileName, true);
    syncFolderOf(fileName);
}

void setWriteFaults(WriteFaults *faults)
{
    plannedFaults = faults;
}

} // namespace sumiraku
