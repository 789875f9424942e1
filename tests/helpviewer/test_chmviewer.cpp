// The program's own help viewer on the help file built with the program, and on
// damaged or hostile copies of it.

#include "fakes.h"
#include "helpviewer/chmviewer.h"
#include "helpviewer/chmwindow.h"
#include "sandbox.h"

#include <QFile>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QtEndian>

using namespace sumiraku;

namespace {

const QString kHelpFile = QStringLiteral("RvHelp.chm");

// The build puts RvHelp.chm at the top of the build tree, one level above the tests.
QByteArray builtHelpFile()
{
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/../RvHelp.chm"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file (none when null) in a scratch current directory, a viewer whose
// messages are recorded, and an owner for its windows.
struct HelpSetup {
    testing::Sandbox sandbox;
    testing::FakeMessages messages;
    QWidget owner;
    QList<QUrl> browsed;   // what went to the desktop's browser
    ChmHelpViewer viewer{&messages, [this](const QUrl &url) { browsed.append(url); }};

    explicit HelpSetup(const QByteArray &help)
    {
        if (!help.isNull())
            sandbox.write(kHelpFile, help);
    }

    // Shows the help and returns its only window, or null.
    ChmHelpWindow *open()
    {
        viewer.displayTopic(&owner, kHelpFile);
        const QList<ChmHelpWindow *> windows = viewer.windows();
        return windows.size() == 1 ? windows.first() : nullptr;
    }
};

QString pageOf(const ChmHelpWindow *window) { return window->browser()->source().path(); }

} // namespace

class TestChmViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        help_ = builtHelpFile();
        QVERIFY2(!help_.isEmpty(), "RvHelp.chm was not built beside the tests");
    }

    void showsTheDefaultTopicAndFollowsALinkAndBack()
    {
        HelpSetup setup(help_);
        ChmHelpWindow *window = setup.open();
        QVERIFY(window && window->parentWidget() == &setup.owner);
        QTextBrowser *browser = window->browser();
        QVERIFY(browser->toPlainText().contains(QStringLiteral("四字熟語のタイピング練習ソフト")));
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QTextCursor link = browser->document()->find(QStringLiteral("遊び方"));   // to play.html
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(link).center());
        QVERIFY(browser->toPlainText().contains(QStringLiteral("隠された文字も含めて")));
        QTest::mouseClick(window->backButton(), Qt::LeftButton);
        QCOMPARE(pageOf(window), QStringLiteral("/index.html"));
    }

    void readsPicturesFromTheFileAndNothingFromOutside()
    {
        HelpSetup setup(help_);
        const QString outside = setup.sandbox.path() + QStringLiteral("/cells.png");
        QImage red(8, 8, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(outside));
        ChmHelpWindow *window = setup.open();
        QVERIFY(window);
        window->followLink(helpUrl(QStringLiteral("/modes.html")));
        QTextDocument *page = window->browser()->document();
        const QVariant cells = page->resource(QTextDocument::ImageResource, QUrl("images/cells.png"));
        QCOMPARE(cells.value<QImage>().size(), QSize(372, 112));
        // Asked of the document itself, so that its own fallback to the disk would show.
        const QUrl elsewhere[] = {QUrl::fromLocalFile(outside), QUrl("cells.png"), QUrl("http://127.0.0.1/")};
        for (const QUrl &url : elsewhere) {
            const QVariant loaded = page->resource(QTextDocument::ImageResource, url);
            QVERIFY2(loaded.value<QImage>().isNull() && loaded.userType() != QMetaType::QByteArray,
                     qPrintable(url.toString()));
        }
    }

    // Only the web and mail go out, to the desktop; scripts and files on the
    // disk are not followed at all.
    void linksLeaveTheFileOnlyForTheBrowser()
    {
        HelpSetup setup(help_);
        ChmHelpWindow *window = setup.open();
        QVERIFY(window);
        const QString page = pageOf(window);
        for (const char *url : {"https://example.org/a", "mailto:x@example.org", "javascript:alert(1)",
                                "file:///etc/passwd", "ftp://example.org/", "data:text/html,x"})
            window->followLink(QUrl(QString::fromLatin1(url)));
        QCOMPARE(setup.browsed, (QList<QUrl>{QUrl("https://example.org/a"), QUrl("mailto:x@example.org")}));
        QCOMPARE(pageOf(window), page);
    }

    void closeAllLeavesNoWindow()
    {
        HelpSetup setup(help_);
        QWidget second;
        setup.viewer.displayTopic(&setup.owner, kHelpFile);
        setup.viewer.displayTopic(&second, kHelpFile);
        const QList<ChmHelpWindow *> open = setup.viewer.windows();
        QCOMPARE(open.size(), 2);
        const QPointer<ChmHelpWindow> one = open[0], two = open[1];
        setup.viewer.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(one.isNull() && two.isNull() && setup.viewer.windows().isEmpty());
    }

    // Hostile or cut copies of the help file must neither hang nor crash chmlib.
    void damagedFilesAreReportedAndOpenNoWindow_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        const quint64 directory = qFromLittleEndian<quint64>(help_.constData() + 72);
        QByteArray cycle = help_, huge = help_;
        // chmlib walks a chain of listing chunks for ever; here the first points to itself.
        qToLittleEndian<quint32>(0, cycle.data() + directory + 0x54 + 16);
        qToLittleEndian<quint64>(quint64(1) << 62, huge.data() + 80);   // the directory's length
        QTest::newRow("missing") << QByteArray() << "「RvHelp.chm」を開けません。\nファイルが見";
        QTest::newRow("chunk cycle") << cycle << "循環";
        QTest::newRow("huge directory") << huge << "切れて";
        QTest::newRow("cut in the directory") << help_.left(2000) << "切れて";
        QTest::newRow("last byte cut") << help_.chopped(1) << "切れて";
    }

    void damagedFilesAreReportedAndOpenNoWindow()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        HelpSetup setup(file);
        QVERIFY(!setup.open());
        QCOMPARE(setup.messages.shown.size(), 1);
        QVERIFY2(setup.messages.shown[0].text.contains(reason), qPrintable(setup.messages.shown[0].text));
    }

private:
    QByteArray help_;
};

QTEST_MAIN(TestChmViewer)
#include "test_chmviewer.moc"
