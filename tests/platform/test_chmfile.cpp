// Reading compiled help files: the checks that keep chmlib away from damaged or
// hostile files, the table of contents, link paths and the charset of pages.

#include "platform/chmarchive.h"
#include "platform/chmcheck.h"
#include "platform/chmcontents.h"
#include "sandbox.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

using namespace sumiraku;

namespace {

constexpr quint32 kBlock = 4096;

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le64(quint64 v)
{
    QByteArray b(8, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray encInt(quint64 v)
{
    QByteArray b(1, char(v & 0x7f));
    for (v >>= 7; v; v >>= 7)
        b.prepend(char(0x80 | (v & 0x7f)));
    return b;
}

QByteArray entry(const QByteArray &name, quint64 start, quint64 length)
{
    return encInt(quint64(name.size())) + name + encInt(0) + encInt(start) + encInt(length);
}

QByteArray chunk(const QByteArray &header, const QByteArray &entries, qint64 freeSpace = -1)
{
    const quint32 room = kBlock - quint32(header.size()) - 4 - quint32(entries.size());
    QByteArray c = header.left(4) + le32(freeSpace < 0 ? room : quint32(freeSpace)) + header.mid(4) + entries;
    return c.leftJustified(kBlock, '\0');
}

QByteArray listing(qint32 next, const QByteArray &entries = {}, qint64 freeSpace = -1)
{
    return chunk("PMGL" + le32(0) + le32(quint32(-1)) + le32(quint32(next)), entries, freeSpace);
}

QByteArray index(const QList<quint32> &children)
{
    QByteArray entries;
    for (quint32 child : children)
        entries += encInt(1) + "/" + encInt(child);
    return chunk("PMGI", entries);
}

// A file laid out as compilers write it: header, directory chunks, then the objects.
QByteArray craft(const QList<QByteArray> &chunks, qint32 root, qint32 head, const QByteArray &data = {})
{
    QByteArray dir = "ITSP" + le32(1) + le32(0x54) + le32(10) + le32(kBlock) + le32(2) + le32(1)
                     + le32(quint32(root)) + le32(quint32(head)) + le32(quint32(head))
                     + le32(quint32(-1)) + le32(quint32(chunks.size())) + le32(0x411);
    dir = dir.leftJustified(0x54, '\0');
    for (const QByteArray &c : chunks)
        dir += c;
    const quint64 dirOffset = 0x60;
    QByteArray file = "ITSF" + le32(3) + le32(0x60) + le32(1) + le32(0) + le32(0x411);
    file = file.leftJustified(56, '\0') + le64(0x60) + le64(0) + le64(dirOffset) + le64(quint64(dir.size()))
           + le64(dirOffset + quint64(dir.size()));
    return file + dir + data;
}

const QByteArray kPage = "<html><body><p>crafted</p></body></html>";

QString check(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return checkChmFile(buffer, nullptr);
}

} // namespace

class TestChmFile : public QObject {
    Q_OBJECT

private slots:
    void aSoundCraftedFileOpens();
    void brokenDirectoriesAreRefusedBeforeChmlibSeesThem_data();
    void brokenDirectoriesAreRefusedBeforeChmlibSeesThem();
    void linksBecomePathsFromTheRoot_data();
    void linksBecomePathsFromTheRoot();
    void pagesAreDecodedInTheirOwnCharset_data();
    void pagesAreDecodedInTheirOwnCharset();
    void contentsKeepOrderDepthAndText();
};

// Proves the crafting below matches what chmlib reads, so the refusals are not accidents.
void TestChmFile::aSoundCraftedFileOpens()
{
    testing::Sandbox sandbox;
    sandbox.write("ok.chm", craft({listing(-1, entry("/index.html", 0, kPage.size()))}, -1, 0, kPage));
    QString error;
    const auto archive = ChmArchive::open("ok.chm", &error);
    QVERIFY2(archive, qPrintable(error));
    QCOMPARE(archive->defaultTopic(), QStringLiteral("/index.html"));
    QCOMPARE(archive->read("/index.html").value_or("<unread>"), kPage);
    QVERIFY(!archive->read("/missing.html"));
}

void TestChmFile::brokenDirectoriesAreRefusedBeforeChmlibSeesThem_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("cycle");

    const QByteArray page = entry("/index.html", 0, kPage.size());
    // Each of these made chmlib loop for ever or read outside its buffers.
    QTest::newRow("index chunk points to itself")
        << craft({listing(-1, page), index({1})}, 1, 0, kPage) << true;
    QTest::newRow("two index chunks point to each other")
        << craft({listing(-1, page), index({2}), index({1})}, 1, 0, kPage) << true;
    QTest::newRow("listing chain runs in a circle")
        << craft({listing(1, page), listing(0)}, -1, 0, kPage) << true;
    QTest::newRow("listing chain leaves the directory")
        << craft({listing(7, page)}, -1, 0, kPage) << false;
    QTest::newRow("index child outside the directory")
        << craft({listing(-1, page), index({9})}, 1, 0, kPage) << false;
    QTest::newRow("first listing chunk is an index chunk")
        << craft({index({0})}, -1, 0, kPage) << false;
    QTest::newRow("entry name runs past its chunk")
        << craft({listing(-1, encInt(5000) + "/index.html")}, -1, 0, kPage) << false;
    QTest::newRow("free space larger than the chunk")
        << craft({listing(-1, page, kBlock * 2)}, -1, 0, kPage) << false;
    QTest::newRow("endless variable-length integer")
        << craft({listing(-1, QByteArray(40, char(0xff)))}, -1, 0, kPage) << false;
    QByteArray hugeDirectory = craft({listing(-1, page)}, -1, 0, kPage);
    hugeDirectory.replace(80, 8, le64(quint64(1) << 62));
    QTest::newRow("directory length beyond the file") << hugeDirectory << false;
    QByteArray manyBlocks = craft({listing(-1, page)}, -1, 0, kPage);
    manyBlocks.replace(0x60 + 44, 4, le32(0x7fffffff));
    QTest::newRow("more chunks than the directory holds") << manyBlocks << false;
    QTest::newRow("not a help file") << QByteArray("<html>not compiled</html>") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestChmFile::brokenDirectoriesAreRefusedBeforeChmlibSeesThem()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, cycle);

    const QString error = check(file);
    QVERIFY(!error.isEmpty());
    QCOMPARE(error.contains(QStringLiteral("循環")), cycle);

    testing::Sandbox sandbox;
    sandbox.write("bad.chm", file);
    QString reason;
    QVERIFY(!ChmArchive::open("bad.chm", &reason));
    QCOMPARE(reason, error);
}

void TestChmFile::linksBecomePathsFromTheRoot_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("path");

    QTest::newRow("bare name") << "page.htm" << "/" << "/page.htm";
    QTest::newRow("beside a page in a folder") << "b.htm" << "/sub/a.htm" << "/sub/b.htm";
    QTest::newRow("up a folder") << "../a.htm" << "/sub/b.htm" << "/a.htm";
    QTest::newRow("never above the root") << "../../etc/passwd" << "/a.htm" << "/etc/passwd";
    QTest::newRow("backslashes") << "sub\\p.htm" << "/" << "/sub/p.htm";
    QTest::newRow("inside-file address") << "ms-its:RvHelp.chm::/keys.html#hint" << "/" << "/keys.html";
    QTest::newRow("fragment and query dropped") << "p.htm?x=1#y" << "/" << "/p.htm";
    QTest::newRow("empty") << "" << "/" << "";
}

void TestChmFile::linksBecomePathsFromTheRoot()
{
    QFETCH(QString, link);
    QFETCH(QString, base);
    QFETCH(QString, path);
    QCOMPARE(helpPath(link, base), path);
}

void TestChmFile::pagesAreDecodedInTheirOwnCharset_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray body = "<p>一石二鳥</p>";
    const QByteArray sjisBody = testing::sjis("<p>一石二鳥</p>");
    QTest::newRow("utf-8 declared") << "<meta charset=\"utf-8\">" + body;
    QTest::newRow("utf-8 undeclared") << body;
    QTest::newRow("utf-8 with byte order mark") << "\xef\xbb\xbf" + body;
    QTest::newRow("shift_jis declared") << "<meta charset=Shift_JIS>" + sjisBody;
    QTest::newRow("shift_jis in content type")
        << "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=shift_jis\">" + sjisBody;
    QTest::newRow("shift_jis undeclared") << sjisBody;
    QTest::newRow("unknown charset falls back") << "<meta charset=\"x-nonsense\">" + sjisBody;
}

void TestChmFile::pagesAreDecodedInTheirOwnCharset()
{
    QFETCH(QByteArray, bytes);
    const QString text = decodeHelpPage(bytes);
    QVERIFY2(text.contains(QStringLiteral("<p>一石二鳥</p>")), qPrintable(text));
    QVERIFY(!text.startsWith(QChar(0xfeff)));
}

void TestChmFile::contentsKeepOrderDepthAndText()
{
    const QString sitemap = QStringLiteral(
        "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"ignored\"></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"表紙 &amp; 目次\">"
        "<param name=\"Local\" value=\"index.html\"></OBJECT>"
        "<UL><li><object type='text/sitemap'><param name='Local' value='sub\\a.htm'>"
        "<param name='Name' value='&#x4E00;'></object></UL>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"見出し\"></OBJECT>"
        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.htm\"></OBJECT>"
        "</UL></UL></UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"unclosed\">");
    const std::vector<HelpTopic> topics = parseHelpContents(sitemap);
    QCOMPARE(topics.size(), size_t(3));
    QCOMPARE(topics[0].name, QStringLiteral("表紙 & 目次"));
    QCOMPARE(topics[0].path, QStringLiteral("/index.html"));
    QCOMPARE(topics[0].depth, 0);
    QCOMPARE(topics[1].name, QStringLiteral("一"));
    QCOMPARE(topics[1].path, QStringLiteral("/sub/a.htm"));
    QCOMPARE(topics[1].depth, 1);
    QCOMPARE(topics[2].name, QStringLiteral("見出し"));
    QVERIFY(topics[2].path.isEmpty());
    QCOMPARE(topics[2].depth, 0);
}

QTEST_GUILESS_MAIN(TestChmFile)
#include "test_chmfile.moc"
