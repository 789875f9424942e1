// The three settings controls: a pick by the player rewrites the whole
// settings file from the state of all three; nothing else writes it. Picks
// with mouse and keyboard are driven end to end by the e2e settings test.

#include "form_fixture.h"
#include "controls/controls.h"

#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void onlyAPickRewritesTheFile();
    void pickingAModeInPlay_data();
    void pickingAModeInPlay();
    void typedTextIsStoredByTheNextWrite();
};

void TestSettings::onlyAPickRewritesTheFile()
{
    FormFixture f;
    f.loadWith({}, sjis("60,1,\"2:ノーマル\"\r\n"));
    f.form->cboJikan->setCurrentIndex(3);   // "40": set from code, no click
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,1,\"2:ノーマル\"\r\n"));
    QTest::keyClick(f.form->cboJikan, Qt::Key_Up);   // the player picks "30"
    QCOMPARE(f.form->state.PlayByou, qint16(30));
    QCOMPARE(f.sandbox.read(kSettings), sjis("30,1,\"2:ノーマル\"\r\n"));
}

void TestSettings::pickingAModeInPlay_data()
{
    QTest::addColumn<int>("from");   // the pick is the entry below this one
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<int>("messages");
    QTest::newRow("S closes the cells and asks") << 3 << sjis("60,0,\"S:指定\"\r\n") << "□□□□" << 1;
    QTest::newRow("another leaves them") << 1 << sjis("60,0,\"3:ハード\"\r\n") << "一石二鳥" << 0;
}

void TestSettings::pickingAModeInPlay()
{
    QFETCH(int, from);
    QFETCH(QByteArray, written);
    QFETCH(QString, cells);
    QFETCH(int, messages);
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    f.form->cboHide->setEditText(QStringLiteral("0:隠さない"));
    f.startGame();
    f.form->cboHide->setCurrentIndex(from);
    QTest::keyClick(f.form->cboHide, Qt::Key_Down);
    QCOMPARE(f.sandbox.read(kSettings), written);
    QCOMPARE(f.cells(), cells);
    QCOMPARE(f.messages.shown.size(), messages);
    if (messages) {
        QCOMPARE(f.form->lblMondai[1]->backColor().rgb(), f.form->buttonFace().rgb());
        QCOMPARE(f.messages.shown[0].text, QStringLiteral("表示させたい窓をクリックしてください"));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("表示部指定"));
        QCOMPARE(f.messages.shown[0].icon, MsgIcon::Information);
    }
}

void TestSettings::typedTextIsStoredByTheNextWrite()
{
    FormFixture f;
    f.loadWith({});
    f.form->cboJikan->lineEdit()->selectAll();
    QTest::keyClicks(f.form->cboJikan->lineEdit(), "90");
    QTest::keyClick(f.form->cboJikan, Qt::Key_Return);
    f.form->cboHide->setEditText(QStringLiteral("\"引用\"モード"));
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,0,\"2:ノーマル\"\r\n"));
    f.form->chkAs->click();
    // A typed time is not a pick; quotes inside the mode are written as they are.
    QCOMPARE(f.sandbox.read(kSettings), sjis("60,1,\"\"引用\"モード\"\r\n"));
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
