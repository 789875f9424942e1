// The window on a screen scaled to 200 %: twice the pixels at the same
// proportions, texts inside their controls, the artwork drawn from its
// double-size pictures rather than blown up.

#include "form_fixture.h"
#include "controls/controls.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestScaling : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsLayoutAtTwiceThePixels();
    void textsFitTheirControls_data();
    void textsFitTheirControls();
    void picturesComeFromTheirDoubleSizeArtwork();
};

void TestScaling::windowKeepsItsLayoutAtTwiceThePixels()
{
    FormFixture f;
    f.form->show();
    QCOMPARE(f.form->grab().size(), QSize(1262, 904));
    QCOMPARE(f.form->txtKaitou->geometry(), QRect(330, 75, 136, 27));
}

void TestScaling::textsFitTheirControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    // The widest text each shows in play; the end-to-end test covers the rest.
    QTest::newRow("rate") << "lblRitu" << "100.0%";
    QTest::newRow("per second") << "lblByou" << "9.99/秒";
    QTest::newRow("mode") << "cboHide" << "R:ランダム";
    QTest::newRow("button") << "cmdStart" << QString();
}

void TestScaling::textsFitTheirControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    FormFixture f;
    f.form->show();
    auto *widget = f.form->findChild<QWidget *>(name);
    QVERIFY(widget);
    if (auto *combo = qobject_cast<PickCombo *>(widget))
        widget = combo->lineEdit();
    QSize need = QFontMetrics(widget->font()).tightBoundingRect(text).size();
    QSize room = widget->contentsRect().size();
    if (auto *button = qobject_cast<QToolButton *>(widget)) {   // caption and icon as laid out
        need = button->sizeHint();
        room = button->size();
    }
    QCOMPARE(need.boundedTo(room), need);
}

void TestScaling::picturesComeFromTheirDoubleSizeArtwork()
{
    FormFixture f;
    f.form->show();
    // The banner is checked on a real screen by the end-to-end test.
    const QPixmap shown = f.form->imgStart[1]->pixmap();
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    // Pixmaps hold premultiplied pixels; compare in that form so both round alike.
    const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
    QCOMPARE(shown.toImage().convertToFormat(premultiplied),
             QImage(QStringLiteral(":/art/start1@2x.png")).convertToFormat(premultiplied));
}

int main(int argc, char *argv[])
{
    // Before the application exists, as a player's setting would be.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaling test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scaling.moc"
