// The program's own help viewer on the help file built with the program, and on
// damaged or hostile copies of it.

#include "fakes.h"
#include "helpviewer/chmcheck.h"
#include "helpviewer/chmviewer.h"
#include "helpviewer/chmwindow.h"
#include "sandbox.h"

#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

using namespace sumiraku;

namespace {

// The file (none when null) in a scratch current directory, shown by a viewer
// whose message boxes and links sent to the desktop's browser are recorded.
struct HelpSetup {
    testing::Sandbox sandbox;
    testing::FakeMessages messages;
    QWidget owner;
    QList<QUrl> browsed;
    ChmHelpViewer viewer{&messages, [this](const QUrl &url) { browsed.append(url); }};

    explicit HelpSetup(const QByteArray &help)
    {
        if (!help.isNull())
            sandbox.write(QStringLiteral("RvHelp.chm"), help);
        viewer.displayTopic(&owner, QStringLiteral("RvHelp.chm"));
    }
};

// The file with its compression parameters said to be a byte over the limit
// on what is read, and that much more file behind them.
QByteArray withOversizedParameters(QByteArray file)
{
    const qsizetype chunks = qFromLittleEndian<quint64>(file.constData() + 72) + 0x54;
    const qsizetype chunkLength = qFromLittleEndian<quint32>(file.constData() + chunks - 0x54 + 16);
    qsizetype at = file.indexOf("MSCompressed/ControlData") + 24, end = at;
    for (int field = 0; field < 3; ++field) {   // the section, the start, the length
        at = end;
        while (file[end++] & 0x80) {}
    }
    const qsizetype chunk = chunks + (at - chunks) / chunkLength * chunkLength;
    const quint32 freeSpace = qFromLittleEndian<quint32>(file.constData() + chunk + 4);
    const qsizetype grow = 4 - (end - at);
    file.remove(chunk + chunkLength - freeSpace, grow);   // the room comes from the chunk's free space
    file.replace(at, end - at, QByteArray("\x88\x80\x80\x01", 4));   // 2^24 + 1, seven bits a byte
    qToLittleEndian<quint32>(freeSpace - grow, file.data() + chunk + 4);
    return file + QByteArray(kChmMaxObjectSize + 1, '\0');
}

} // namespace

class TestChmViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The build puts RvHelp.chm at the top of the build tree, one level above the tests.
        QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/../RvHelp.chm"));
        QVERIFY2(file.open(QIODevice::ReadOnly), "RvHelp.chm was not built beside the tests");
        help_ = file.readAll();
    }

    // Pages and pictures come from the file alone; only the web and mail go out,
    // to the desktop, and scripts and files on the disk are not followed at all.
    void showsTheFileAloneSendsOnlyWebAndMailOutAndClosesAll()
    {
        HelpSetup setup(help_);
        ChmHelpWindow *window = setup.viewer.windows().value(0);
        QVERIFY(window && window->parentWidget() == &setup.owner && QTest::qWaitForWindowActive(window));
        QTextBrowser *browser = window->browser();
        QVERIFY(browser->toPlainText().contains(QStringLiteral("四字熟語のタイピング練習ソフト")));
        const QTextCursor link = browser->document()->find(QStringLiteral("遊び方"));   // to play.html
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(link).center());
        QVERIFY(browser->toPlainText().contains(QStringLiteral("隠された文字も含めて")));
        QTest::mouseClick(window->backButton(), Qt::LeftButton);
        QCOMPARE(browser->source().path(), QStringLiteral("/index.html"));

        window->followLink(helpUrl(QStringLiteral("/modes.html")));
        for (const char *url : {"https://example.org/a", "mailto:x@example.org", "javascript:alert(1)",
                                "file:///etc/passwd", "ftp://example.org/", "data:text/html,x"})
            window->followLink(QUrl(QString::fromLatin1(url)));
        QCOMPARE(setup.browsed, (QList<QUrl>{QUrl("https://example.org/a"), QUrl("mailto:x@example.org")}));
        QCOMPARE(browser->source().path(), QStringLiteral("/modes.html"));
        // Asked of the document itself, so that its own fallback to the disk would show.
        QTextDocument *page = browser->document();
        const auto image = [page](const QUrl &url) { return page->resource(QTextDocument::ImageResource, url); };
        QCOMPARE(image(QUrl("images/cells.png")).value<QImage>().size(), QSize(372, 112));
        const QString onDisk = setup.sandbox.path() + QStringLiteral("/cells.png");
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(onDisk));
        for (const QUrl &url : {QUrl::fromLocalFile(onDisk), QUrl("cells.png"), QUrl("http://127.0.0.1/")})
            QVERIFY2(image(url).value<QImage>().isNull() && image(url).userType() != QMetaType::QByteArray,
                     qPrintable(url.toString()));

        QWidget second;
        setup.viewer.displayTopic(&second, QStringLiteral("RvHelp.chm"));
        const QPointer<ChmHelpWindow> one = window, two = setup.viewer.windows().value(1);
        QVERIFY(two && two != one);
        setup.viewer.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(one.isNull() && two.isNull() && setup.viewer.windows().isEmpty());
    }

    // Hostile or cut copies must neither hang nor crash chmlib.
    void damagedFilesAreReportedAndOpenNoWindow()
    {
        const quint64 directory = qFromLittleEndian<quint64>(help_.constData() + 72);
        QByteArray cycle = help_, huge = help_;
        // chmlib walks a chain of listing chunks for ever; here the first points to itself.
        qToLittleEndian<quint32>(0, cycle.data() + directory + 0x54 + 16);
        qToLittleEndian<quint64>(quint64(1) << 62, huge.data() + 80);   // the directory's length
        const struct { const char *name; QByteArray file; QString reason; } damaged[] = {
            {"missing", QByteArray(), "「RvHelp.chm」を開けません。\nファイルが見"},
            {"chunk cycle", cycle, "循環"},
            {"huge directory", huge, "切れて"},
            {"cut in the directory", help_.left(2000), "切れて"},
            {"last byte cut", help_.chopped(1), "切れて"},
            {"parameters over the size limit", withOversizedParameters(help_), "圧縮データ"},
        };
        for (const auto &[name, file, reason] : damaged) {
            HelpSetup setup(file);
            const QString said = setup.messages.shown.value(0).text;
            QVERIFY2(setup.viewer.windows().isEmpty() && setup.messages.shown.size() == 1 && said.contains(reason),
                     qPrintable(QStringLiteral("%1: %2").arg(name, said)));
        }
    }

private:
    QByteArray help_;
};

QTEST_MAIN(TestChmViewer)
#include "test_chmviewer.moc"
