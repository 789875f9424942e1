// The settings file at byte level, and the settings it refuses.

#include "files/settings_file.h"
#include "raised.h"
#include "sandbox.h"

#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void settingsAreWrittenAndReadBack()
    {
        Sandbox box;
        box.write(kSettings, "180,1,\"R:x\"\r\ntrailing junk, longer than the new line\r\n");
        writeSettings(60, 1, QStringLiteral("2:ノーマル"));
        // 60,1,"2:ノーマル" CR LF
        QCOMPARE(box.read(kSettings), QByteArray::fromHex("36302c312c22323a836d815b837d838b220d0a"));
        // 600,0,"S:指定" CR LF: above the list's longest time, still usable
        box.write(kSettings, QByteArray::fromHex("3630302c302c22533a8e7792e8220d0a"));
        const Settings settings = readSettings();
        QCOMPARE(settings.PlayByou, qint16(600));
        QCOMPARE(settings.AutoSave, qint16(0));
        QCOMPARE(settings.HideMode, QStringLiteral("S:指定"));
    }

    // Classic error numbers: 13 type mismatch, 6 overflow, 62 input past end, 53 file not found.
    void unusableSettingsNameTheFileAndValue_data()
    {
        QTest::addColumn<QByteArray>("bytes");   // null: no file at all
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("detail");

        QTest::newRow("time a word") << QByteArray("abc,1,\"a\"\r\n") << "13 設定.txt"
                                     << "プレイ秒数が整数ではありません。値: \"abc\"";
        QTest::newRow("time zero") << QByteArray("0,1,\"a\"\r\n") << "6 設定.txt" << "プレイ秒数";
        QTest::newRow("time past 16 bits") << QByteArray("99999,1,\"a\"\r\n") << "6 設定.txt"
                                           << "プレイ秒数が整数の範囲を超えています。";
        QTest::newRow("auto-save 2") << QByteArray("60,2,\"a\"\r\n") << "6 設定.txt" << "自動保存";
        QTest::newRow("two fields") << QByteArray("60,1\r\n") << "62 設定.txt" << "";
        QTest::newRow("missing file") << QByteArray() << "53 設定.txt" << "";
    }

    void unusableSettingsNameTheFileAndValue()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, detail);
        Sandbox box;
        if (!bytes.isNull())
            box.write(kSettings, bytes);
        QCOMPARE(failureSummary([] { readSettings(); }), error);
        const QString shown = failureOf([] { readSettings(); })->detail();
        QVERIFY2(shown.contains(detail), qPrintable(shown));
        QVERIFY(bytes.isNull() ? !box.exists(kSettings) : box.read(kSettings) == bytes);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
