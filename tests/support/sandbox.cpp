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

Sandbox::~Sandbox()
{
    QDir::setCurrent(previous_);
}

void Sandbox::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
}

QByteArray Sandbox::read(const QString &name) const
{
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool Sandbox::exists(const QString &name) const
{
    return QFile::exists(dir_.filePath(name));
}

void Sandbox::remove(const QString &name) const
{
    QFile::remove(dir_.filePath(name));
}

void Sandbox::writeDefaults(const QByteArray &dictionary) const
{
    write(QStringLiteral("設定.txt"), sjis("60,0,\"2:ノーマル\"\r\n"));
    write(QStringLiteral("履歴.txt"), QByteArray());
    write(QStringLiteral("辞書.txt"),
          dictionary.isNull() ? sjis("一石二鳥\r\n四面楚歌\r\n温故知新\r\n") : dictionary);
}

// Independent of the program's own codec, so tests do not check it against itself.
QByteArray sjis(const char *utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    QByteArray in(utf8);
    QByteArray out(in.size() * 2 + 4, '\0');
    char *src = in.data();
    char *dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1))
        qFatal("sjis(): cannot convert %s", utf8);
    iconv_close(cd);
    out.truncate(out.size() - int(dstLeft));
    return out;
}

} // namespace sumiraku::testing
