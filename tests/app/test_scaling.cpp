// The window on a screen scaled to 200 %: twice the pixels at the same
// proportions, every text inside its control, the artwork drawn from its
// double-size pictures rather than blown up.

#include "form_fixture.h"
#include "platform/controls.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

constexpr qreal kScale = 2.0;

// Pixmaps hold premultiplied pixels; compare in that form, so that the
// conversion rounds both alike.
QImage comparable(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestScaling : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsLayoutAtTwiceThePixels();
    void textsFitTheirControls_data();
    void textsFitTheirControls();
    void framesShowTheirWholeTitle();
    void picturesComeFromTheirDoubleSizeArtwork();
};

void TestScaling::windowKeepsItsLayoutAtTwiceThePixels()
{
    FormFixture f;
    frmMain &w = *f.form;
    w.show();
    QCOMPARE(w.devicePixelRatioF(), kScale);
    QCOMPARE(w.size(), QSize(631, 452));
    QCOMPARE(w.grab().size(), QSize(1262, 904));
    QCOMPARE(w.txtKaitou->geometry(), QRect(330, 75, 136, 27));
}

void TestScaling::textsFitTheirControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    // The widest text each control shows in play.
    QTest::newRow("play time heading") << "Label1_1" << "プレイ秒数";
    QTest::newRow("mode heading") << "Label2_0" << "プレイモード";
    QTest::newRow("answer heading") << "Label2_1" << "解答";
    QTest::newRow("right answers") << "lblOk" << "999";
    QTest::newRow("wrong answers") << "lblNg" << "999";
    QTest::newRow("characters typed") << "lblMoji_T" << "999";
    QTest::newRow("rate") << "lblRitu" << "100.0%";
    QTest::newRow("per second") << "lblByou" << "9.99/秒";
    QTest::newRow("answer") << "txtKaitou" << "鬱鬱葱葱";
    QTest::newRow("play time") << "cboJikan" << "180";
    for (const char *mode : {"1:イージー", "2:ノーマル", "3:ハード", "R:ランダム", "S:指定", "0:隠さない"})
        QTest::addRow("mode %s", mode) << "cboHide" << QString::fromUtf8(mode);
    for (int i = 1; i <= 4; ++i)
        QTest::addRow("cell %d", i) << QStringLiteral("lblMondai_%1").arg(i) << "鬱";
    for (const char *button : {"cmdStart", "cmdHozon", "cmdClear", "cmdHelp", "cmdEnd"})
        QTest::newRow(button) << button << QString();
}

void TestScaling::textsFitTheirControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    FormFixture f;
    frmMain &w = *f.form;
    w.show();
    auto *widget = w.findChild<QWidget *>(name);
    QVERIFY(widget);
    QRect room = widget->contentsRect();
    QFont font = widget->font();
    if (auto *button = qobject_cast<QToolButton *>(widget)) {
        // Caption and icon as the style lays them out.
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
        QVERIFY(button->sizeHint().height() <= button->height());
        return;
    }
    if (auto *combo = qobject_cast<PickCombo *>(widget)) {
        room = combo->lineEdit()->geometry();
        font = combo->lineEdit()->font();
    }
    const QRect ink = QFontMetrics(font).tightBoundingRect(text);
    QVERIFY2(ink.width() <= room.width(),
             qPrintable(QStringLiteral("%1 is %2 wide in %3").arg(text).arg(ink.width()).arg(room.width())));
    QVERIFY2(ink.height() <= room.height(),
             qPrintable(QStringLiteral("%1 is %2 high in %3").arg(text).arg(ink.height()).arg(room.height())));
}

void TestScaling::framesShowTheirWholeTitle()
{
    FormFixture f;
    f.loadWith(sjis("一石二鳥\r\n"));
    frmMain &w = *f.form;
    w.show();
    for (QGroupBox *frame : {static_cast<QGroupBox *>(w.fraJisyo), static_cast<QGroupBox *>(w.frmRireki)}) {
        frame->setTitle(frame == w.fraJisyo ? QStringLiteral("登録四字熟語 9999個") : frame->title());
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        QVERIFY2(frame->rect().contains(label), qPrintable(frame->title()));
    }
}

void TestScaling::picturesComeFromTheirDoubleSizeArtwork()
{
    FormFixture f;
    frmMain &w = *f.form;
    w.show();
    const QImage banner = w.grab(w.Image1->geometry()).toImage();
    QCOMPARE(banner.size(), QSize(648, 126));
    QVERIFY(comparable(banner) == comparable(QImage(QStringLiteral(":/art/banner@2x.gif"))));
    for (int i = 1; i <= 3; ++i) {
        const QPixmap shown = w.imgStart[i]->pixmap();
        QCOMPARE(shown.devicePixelRatio(), kScale);
        QVERIFY(comparable(shown.toImage())
                == comparable(QImage(QStringLiteral(":/art/start%1@2x.png").arg(i))));
    }
}

int main(int argc, char *argv[])
{
    // Before the application exists, as a player's setting would be.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    QApplication app(argc, argv);
    TestScaling test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scaling.moc"
