// Help and exit: the help opens beside a running game; End and the close box
// take the help windows with them, and End saves nothing.

#include "form_fixture.h"

#include <QCloseEvent>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestHelpExit : public QObject {
    Q_OBJECT

private slots:
    void helpOpensTheHelpFileAndTheGameGoesOn();
    void endClosesHelpAndEndsWithoutSaving();
    void closeBoxClosesHelpToo();
};

void TestHelpExit::helpOpensTheHelpFileAndTheGameGoesOn()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    f.startGame();
    f.form->cmdHelp->click();
    f.form->cmdHelp->click();
    QCOMPARE(f.help.opened, (QStringList{"RvHelp.chm", "RvHelp.chm"}));
    QVERIFY(f.form->state.Playing);
    f.answer(QStringLiteral("一石二鳥"));
    QCOMPARE(f.form->state.OkCount, qint16(1));
}

void TestHelpExit::endClosesHelpAndEndsWithoutSaving()
{
    FormFixture f;
    f.sandbox.writeDefaults(sjis("一石二鳥\r\n"));
    f.sandbox.write(QStringLiteral("設定.txt"), sjis("60,1,\"0:隠さない\"\r\n"));
    f.load();
    f.startGame();
    f.answer(QStringLiteral("一石二鳥"));
    f.form->cmdEnd->click();
    QCOMPARE(f.help.closedAll, 1);
    QCOMPARE(f.process.exits, QList<int>{0});
    QCOMPARE(f.sandbox.read(QStringLiteral("履歴.txt")), QByteArray());
    QCOMPARE(f.sandbox.read(QStringLiteral("設定.txt")), sjis("60,1,\"0:隠さない\"\r\n"));
}

void TestHelpExit::closeBoxClosesHelpToo()
{
    FormFixture f;
    f.loadWith({});
    QVERIFY(f.form->close());
    QCOMPARE(f.help.closedAll, 1);
    QVERIFY(f.process.exits.isEmpty());
}

QTEST_MAIN(TestHelpExit)
#include "test_help_exit.moc"
