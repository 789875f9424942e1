// The settings file at byte level: what is written, what is read back and
// which settings are refused.

#include "files/settings_file.h"
#include "platform/runtime_error.h"
#include "raised.h"
#include "sandbox.h"

#include <QDir>
#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void settingsAreWrittenAsOneLine_data();
    void settingsAreWrittenAsOneLine();
    void writingReplacesTheWholeFile();
    void usableSettingsAreRead_data();
    void usableSettingsAreRead();
    void unusableSettingsStopWithTheFieldAndValue_data();
    void unusableSettingsStopWithTheFieldAndValue();
    void missingFileIsNotFound();
};

void TestSettingsFile::settingsAreWrittenAsOneLine_data()
{
    QTest::addColumn<int>("play");
    QTest::addColumn<int>("autoSave");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("bytes");

    // 60,1,"2:ノーマル" CR LF
    QTest::newRow("example") << 60 << 1 << QStringLiteral("2:ノーマル")
                             << QByteArray::fromHex("36302c312c22323a836d815b837d838b220d0a");
    // 30,0,"S:指定" CR LF
    QTest::newRow("designated") << 30 << 0 << QStringLiteral("S:指定")
                                << QByteArray::fromHex("33302c302c22533a8e7792e8220d0a");
    QTest::newRow("empty mode") << 180 << 0 << QString() << QByteArray("180,0,\"\"\r\n");
    QTest::newRow("quote written as is") << 10 << 1 << QStringLiteral("a\"b")
                                         << QByteArray("10,1,\"a\"b\"\r\n");
    QTest::newRow("negative") << -5 << 0 << QStringLiteral("x") << QByteArray("-5,0,\"x\"\r\n");
}

void TestSettingsFile::settingsAreWrittenAsOneLine()
{
    QFETCH(int, play);
    QFETCH(int, autoSave);
    QFETCH(QString, mode);
    QFETCH(QByteArray, bytes);

    QCOMPARE(settingsBytes(qint16(play), qint16(autoSave), mode), bytes);
    Sandbox box;
    writeSettings(qint16(play), qint16(autoSave), mode);
    QCOMPARE(box.read(kSettings), bytes);
}

void TestSettingsFile::writingReplacesTheWholeFile()
{
    Sandbox box;
    box.write(kSettings, "180,1,\"R:\x83\x89\x83\x93\x83\x5f\x83\x80\"\r\ntrailing junk\r\n");
    writeSettings(30, 1, QStringLiteral("2:ノーマル"));
    QCOMPARE(box.read(kSettings),
             QByteArray::fromHex("33302c312c22323a836d815b837d838b220d0a"));
    QCOMPARE(QDir(box.path()).entryList(QDir::Files), QStringList{kSettings});
}

void TestSettingsFile::usableSettingsAreRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("play");
    QTest::addColumn<int>("autoSave");
    QTest::addColumn<QString>("mode");

    QTest::newRow("example")
        << QByteArray::fromHex("36302c312c22323a836d815b837d838b220d0a") << 60 << 1
        << QStringLiteral("2:ノーマル");
    QTest::newRow("time not in the list") << QByteArray("35,0,\"R:x\"\r\n") << 35 << 0
                                          << QStringLiteral("R:x");
    QTest::newRow("time above 180") << QByteArray("600,1,\"1\"\r\n") << 600 << 1
                                    << QStringLiteral("1");
    QTest::newRow("shortest time") << QByteArray("1,0,\"\"\r\n") << 1 << 0 << QString();
    QTest::newRow("unquoted mode") << QByteArray("60,1,3:x y \r\n") << 60 << 1
                                   << QStringLiteral("3:x y");
    QTest::newRow("extra fields ignored") << QByteArray("60,1,\"a\",\"b\"\r\nmore\r\n") << 60 << 1
                                          << QStringLiteral("a");
    QTest::newRow("one field per line") << QByteArray("60\r\n1\r\n\"a\"\r\n") << 60 << 1
                                        << QStringLiteral("a");
    QTest::newRow("no line end") << QByteArray("20,0,\"a\"") << 20 << 0 << QStringLiteral("a");
    QTest::newRow("blanks and signs") << QByteArray(" +045 , 0 , \"a\"\r\n") << 45 << 0
                                      << QStringLiteral("a");
}

void TestSettingsFile::usableSettingsAreRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, play);
    QFETCH(int, autoSave);
    QFETCH(QString, mode);

    Sandbox box;
    box.write(kSettings, bytes);
    const Settings settings = readSettings();
    QCOMPARE(int(settings.PlayByou), play);
    QCOMPARE(int(settings.AutoSave), autoSave);
    QCOMPARE(settings.HideMode, mode);
}

void TestSettingsFile::unusableSettingsStopWithTheFieldAndValue_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("named");   // must stand in the detail

    const int mismatch = int(ErrorNumber::TypeMismatch);
    const int overflow = int(ErrorNumber::Overflow);
    const int pastEnd = int(ErrorNumber::InputPastEnd);
    const QString play = QStringLiteral("プレイ秒数");
    const QString autoSave = QStringLiteral("自動保存");

    QTest::newRow("time a word") << QByteArray("abc,1,\"a\"\r\n") << mismatch
                                 << QStringList{play, "abc"};
    QTest::newRow("time a fraction") << QByteArray("12.5,1,\"a\"\r\n") << mismatch
                                     << QStringList{play, "12.5"};
    QTest::newRow("time empty") << QByteArray(",1,\"a\"\r\n") << mismatch << QStringList{play};
    QTest::newRow("time zero") << QByteArray("0,1,\"a\"\r\n") << overflow << QStringList{play, "0"};
    QTest::newRow("time negative") << QByteArray("-10,1,\"a\"\r\n") << overflow
                                   << QStringList{play, "-10"};
    QTest::newRow("time past 16 bits") << QByteArray("99999,1,\"a\"\r\n") << overflow
                                       << QStringList{play, "99999"};
    QTest::newRow("auto-save a word") << QByteArray("60,yes,\"a\"\r\n") << mismatch
                                      << QStringList{autoSave, "yes"};
    QTest::newRow("auto-save 2") << QByteArray("60,2,\"a\"\r\n") << overflow
                                 << QStringList{autoSave, "2"};
    QTest::newRow("auto-save -1") << QByteArray("60,-1,\"a\"\r\n") << overflow
                                  << QStringList{autoSave, "-1"};
    QTest::newRow("two fields") << QByteArray("60,1\r\n") << pastEnd << QStringList();
    QTest::newRow("empty file") << QByteArray() << pastEnd << QStringList();
}

void TestSettingsFile::unusableSettingsStopWithTheFieldAndValue()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(QStringList, named);

    Sandbox box;
    box.write(kSettings, bytes);
    const auto failure = failureOf([] { readSettings(); });
    QVERIFY(failure);
    QCOMPARE(int(failure->number()), error);
    QCOMPARE(failure->file(), kSettings);
    for (const QString &text : named)
        QVERIFY2(failure->detail().contains(text), qPrintable(failure->detail()));
    QCOMPARE(box.read(kSettings), bytes);
}

void TestSettingsFile::missingFileIsNotFound()
{
    Sandbox box;
    const auto failure = failureOf([] { readSettings(); });
    QVERIFY(failure);
    QCOMPARE(failure->number(), ErrorNumber::FileNotFound);
    QCOMPARE(failure->file(), kSettings);
    QVERIFY(!box.exists(kSettings));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
