// The program's own help viewer on the help file built with the program: default
// topic, links, pictures, back and forward, closing, and damaged files.

#include "fakes.h"
#include "platform/chmviewer.h"
#include "platform/chmwindow.h"
#include "sandbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <optional>

using namespace sumiraku;

namespace {

const QString kHelpFile = QStringLiteral("RvHelp.chm");

// The build puts RvHelp.chm at the top of the build tree, one level above the tests.
QByteArray builtHelpFile()
{
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/../RvHelp.chm"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where a link with this target sits on screen.
QPoint linkPosition(QTextBrowser *browser, const QString &href)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() == href) {
                QTextCursor cursor(browser->document());
                cursor.setPosition(fragment.position() + 1);
                return browser->cursorRect(cursor).center();
            }
        }
    }
    return {-1, -1};
}

// The help file in a scratch folder that is the current directory, a viewer whose
// messages are recorded, and an owner for its windows.
struct HelpSetup {
    testing::Sandbox sandbox;
    testing::FakeMessages messages;
    QWidget owner;
    ChmHelpViewer viewer;

    explicit HelpSetup(const std::optional<QByteArray> &help, ChmHelpViewer::LinkOpener opener = {})
        : viewer(&messages, std::move(opener))
    {
        if (help)
            sandbox.write(kHelpFile, *help);
    }

    // Shows the help and returns its only window, or null.
    ChmHelpWindow *open()
    {
        viewer.displayTopic(&owner, kHelpFile);
        const QList<ChmHelpWindow *> windows = viewer.windows();
        return windows.size() == 1 ? windows.first() : nullptr;
    }

    QString why() const { return messages.shown.value({}).text; }
};

QString pageOf(const ChmHelpWindow *window)
{
    return window->browser()->source().path();
}

} // namespace

class TestChmViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void opensTheDefaultTopicInAWindowOfTheOwner();
    void followsALinkAndGoesBackAndForward();
    void showsPicturesFromTheFileAndNothingFromOutside();
    void linksLeaveTheFileOnlyForTheWeb_data();
    void linksLeaveTheFileOnlyForTheWeb();
    void askingAgainShowsTheDefaultTopicInTheSameWindow();
    void closeAllClosesEveryHelpWindow();
    void aMissingFileIsReportedAndOpensNoWindow();
    void damagedFilesNeitherCrashNorHang();

private:
    QByteArray help_;
};

void TestChmViewer::initTestCase()
{
    help_ = builtHelpFile();
    QVERIFY2(!help_.isEmpty(), "RvHelp.chm was not built beside the tests");
}

void TestChmViewer::opensTheDefaultTopicInAWindowOfTheOwner()
{
    HelpSetup setup(help_);
    ChmHelpWindow *window = setup.open();

    QVERIFY2(window, qPrintable(setup.why()));
    QVERIFY(window->isWindow());
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), &setup.owner);
    QCOMPARE(window->windowTitle(), QStringLiteral("SUMIRAKU ヘルプ"));
    QCOMPARE(pageOf(window), QStringLiteral("/index.html"));
    QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("四字熟語のタイピング練習ソフト")));
    QVERIFY(setup.messages.shown.isEmpty());
}

void TestChmViewer::followsALinkAndGoesBackAndForward()
{
    HelpSetup setup(help_);
    ChmHelpWindow *window = setup.open();
    QVERIFY2(window, qPrintable(setup.why()));
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(!window->backButton()->isEnabled());

    const QPoint link = linkPosition(window->browser(), QStringLiteral("play.html"));
    QVERIFY(link.x() >= 0);
    QTest::mouseClick(window->browser()->viewport(), Qt::LeftButton, {}, link);
    QCOMPARE(pageOf(window), QStringLiteral("/play.html"));
    QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("隠された文字も含めて")));

    QVERIFY(window->backButton()->isEnabled());
    QTest::mouseClick(window->backButton(), Qt::LeftButton);
    QCOMPARE(pageOf(window), QStringLiteral("/index.html"));
    QVERIFY(window->forwardButton()->isEnabled());
    QTest::keyClick(window, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(pageOf(window), QStringLiteral("/play.html"));
    QTest::keyClick(window, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(pageOf(window), QStringLiteral("/index.html"));
}

void TestChmViewer::showsPicturesFromTheFileAndNothingFromOutside()
{
    HelpSetup setup(help_);
    const QString outside = setup.sandbox.path() + QStringLiteral("/cells.png");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(outside));
    ChmHelpWindow *window = setup.open();
    QVERIFY2(window, qPrintable(setup.why()));
    window->followLink(helpUrl(QStringLiteral("/modes.html")));
    QTextDocument *page = window->browser()->document();

    const QImage cells = page->resource(QTextDocument::ImageResource, QUrl("images/cells.png")).value<QImage>();
    QCOMPARE(cells.size(), QSize(372, 112));
    // Asked by the document itself, so that its own fallback to the disk would show.
    for (const QUrl &url : {QUrl::fromLocalFile(outside),
                            QUrl(QStringLiteral("cells.png")), QUrl(QStringLiteral("http://127.0.0.1:9/a.png"))}) {
        const QVariant loaded = page->resource(QTextDocument::ImageResource, url);
        QVERIFY2(loaded.value<QImage>().isNull() && loaded.userType() != QMetaType::QByteArray,
                 qPrintable(url.toString()));
    }
}

void TestChmViewer::linksLeaveTheFileOnlyForTheWeb_data()
{
    QTest::addColumn<QUrl>("link");
    QTest::addColumn<bool>("toBrowser");
    QTest::addColumn<QString>("page");   // shown afterwards

    QTest::newRow("https") << QUrl("https://example.org/") << true << "/index.html";
    QTest::newRow("mailto") << QUrl("mailto:someone@example.org") << true << "/index.html";
    QTest::newRow("file on the disk") << QUrl("file:///etc/passwd") << false << "/index.html";
    QTest::newRow("script") << QUrl("javascript:alert(1)") << false << "/index.html";
    QTest::newRow("inside-file address") << QUrl("ms-its:RvHelp.chm::/keys.html") << false << "/keys.html";
    QTest::newRow("page of the file") << helpUrl("/files.html") << false << "/files.html";
    QTest::newRow("missing page") << helpUrl("/nowhere.html") << false << "/nowhere.html";
}

void TestChmViewer::linksLeaveTheFileOnlyForTheWeb()
{
    QFETCH(QUrl, link);
    QFETCH(bool, toBrowser);
    QFETCH(QString, page);

    QList<QUrl> opened;
    HelpSetup setup(help_, [&opened](const QUrl &url) { opened.append(url); });
    ChmHelpWindow *window = setup.open();
    QVERIFY2(window, qPrintable(setup.why()));

    window->followLink(link);
    QCOMPARE(opened, toBrowser ? QList<QUrl>{link} : QList<QUrl>{});
    QCOMPARE(pageOf(window), page);
    QVERIFY(!window->browser()->toPlainText().isEmpty());
}

void TestChmViewer::askingAgainShowsTheDefaultTopicInTheSameWindow()
{
    HelpSetup setup(help_);
    ChmHelpWindow *window = setup.open();
    QVERIFY2(window, qPrintable(setup.why()));
    window->followLink(helpUrl(QStringLiteral("/keys.html")));

    QCOMPARE(setup.open(), window);
    QCOMPARE(pageOf(window), QStringLiteral("/index.html"));
}

void TestChmViewer::closeAllClosesEveryHelpWindow()
{
    HelpSetup setup(help_);
    ChmHelpViewer &viewer = setup.viewer;
    QWidget second;
    viewer.displayTopic(&setup.owner, kHelpFile);
    viewer.displayTopic(&second, kHelpFile);
    QCOMPARE(viewer.windows().size(), 2);
    const QPointer<ChmHelpWindow> a = viewer.windows().at(0);
    const QPointer<ChmHelpWindow> b = viewer.windows().at(1);

    viewer.closeAll();
    QVERIFY(viewer.windows().isEmpty());
    QVERIFY(!a->isVisible() && !b->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(a.isNull() && b.isNull());

    // The windows belong to their owner and go with it.
    auto *owner = new QWidget;
    viewer.displayTopic(owner, kHelpFile);
    const QPointer<ChmHelpWindow> c = viewer.windows().at(0);
    delete owner;
    QVERIFY(c.isNull());
    QVERIFY(viewer.windows().isEmpty());
}

void TestChmViewer::aMissingFileIsReportedAndOpensNoWindow()
{
    HelpSetup setup(std::nullopt);
    QVERIFY(!setup.open());

    const QList<testing::ShownBox> &shown = setup.messages.shown;
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].text.contains(QStringLiteral("「RvHelp.chm」を開けません")));
    QCOMPARE(shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(shown[0].buttons, MsgButtons::OkOnly);
    QVERIFY(setup.viewer.windows().isEmpty());
    const auto windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.begin(), windows.end(),
                         [](QWidget *w) { return qobject_cast<ChmHelpWindow *>(w) && w->isVisible(); }));
}

// Cut copies at many lengths and copies with bytes overwritten at random (fixed seed):
// each is refused with a message or opens, and then every page of its contents and
// every page of the sound file is asked for.
void TestChmViewer::damagedFilesNeitherCrashNorHang()
{
    QList<QByteArray> damaged;
    for (qsizetype length = 0; length < help_.size(); length += 311)
        damaged.append(help_.left(length));
    QRandomGenerator random(20260506);
    for (int i = 0; i < 100; ++i) {
        QByteArray copy = help_;
        for (int n = 0; n < 1 + i % 8; ++n)
            copy[random.bounded(int(copy.size()))] = char(random.bounded(256));
        damaged.append(copy);
    }
    const QStringList pages = {"/index.html", "/play.html", "/modes.html", "/files.html",
                               "/images/cells.png", "/#SYSTEM"};

    QElapsedTimer clock;
    clock.start();
    int refused = 0;
    for (const QByteArray &bytes : std::as_const(damaged)) {
        HelpSetup setup(bytes);
        ChmHelpWindow *window = setup.open();
        refused += !window;
        QCOMPARE(!window, !setup.messages.shown.isEmpty());
        for (const QString &page : window ? pages : QStringList())
            window->followLink(helpUrl(page));
    }
    QVERIFY(refused >= damaged.size() / 4);
    QVERIFY2(clock.elapsed() < 60000, "damaged files took too long");
}

QTEST_MAIN(TestChmViewer)
#include "test_chmviewer.moc"
