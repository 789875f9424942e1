#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <iconv.h>

namespace sumiraku::testing {

Sandbox::Sandbox() : previous_(QDir::currentPath())
{
    QVERIFY2(dir_.isValid(), "no scratch folder");
    QDir::setCurrent(dir_.path());
}

void Sandbox::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
}

QByteArray Sandbox::read(const QString &name) const
{
    QFile file(dir_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Sandbox::writeDefaults(const QByteArray &dictionary) const
{
    write(kSettings, sjis("60,0,\"2:ノーマル\"\r\n"));
    write(kHistory, QByteArray());
    write(kDictionary, dictionary.isNull() ? sjis("一石二鳥\r\n四面楚歌\r\n温故知新\r\n") : dictionary);
}

namespace {

// Converts as much of `in` as iconv takes, leaving the rest in `in`; false
// when it stopped at a bad spot.
bool convert(const char *to, const char *from, QByteArrayView &in, QByteArray &out)
{
    const iconv_t cd = iconv_open(to, from);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size(), dstLeft = in.size() * 2 + 4;
    out.resize(out.size() + qsizetype(dstLeft));
    char *dst = out.end() - dstLeft;
    const bool whole = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1);
    iconv_close(cd);
    out.chop(qsizetype(dstLeft));
    in = in.last(qsizetype(srcLeft));
    return whole;
}

} // namespace

QByteArray sjis(const char *utf8)
{
    QByteArrayView in(utf8);
    QByteArray out;
    if (!convert("CP932", "UTF-8", in, out))
        qFatal("sjis(): cannot convert %s", utf8);
    return out;
}

QString fromSjis(QByteArrayView bytes)
{
    const auto lead = [](uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    const auto trail = [](uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); };
    QByteArray utf16;
    while (!convert("UTF-16LE", "CP932", bytes, utf16)) {
        utf16 += QByteArrayView("\xFD\xFF");
        bytes = bytes.sliced(lead(bytes[0]) && bytes.size() > 1 && trail(bytes[1]) ? 2 : 1);
    }
    return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

} // namespace sumiraku::testing
