// Broken, odd and oversized data files at startup, and what the player does
// next. Each case ends in a normal start or in an error box naming the file and
// a non-zero exit; reading never changes a file, and the follow-up changes only
// the file it is meant to change.

#include "files/history_file.h"
#include "form_fixture.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "raised.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListView>
#include <QTest>
#include <QToolButton>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

namespace {

// What the player does after a normal start.
enum class Then { Nothing, Game, Save, Clear, PickTime };

const QByteArray kMissing("<missing>");      // what Sandbox::read gives for no file
const QByteArray kFolder("<folder>");
const QByteArray kUnchanged("<unchanged>");

const QByteArray kRecord = "\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/" + sjis("秒\",\"60秒\",\"2\"\r\n");
// The Save follow-up's game: one right answer of four characters in 60 seconds.
const QByteArray kSaved = "\"2026/05/06\",\"21:03:15\",1,1,0,\"100.0%\",\"0.07/" + sjis("秒\",\"60秒\",\"2\"\r\n");

// The history record with field `field` (from 1) replaced.
QByteArray recordWith(int field, const QByteArray &value)
{
    QList<QByteArray> fields = kRecord.chopped(2).split(',');
    fields[field - 1] = value;
    return fields.join(',') + "\r\n";
}

QByteArray settingsWith(const QByteArray &mode) { return "60,0,\"" + mode + "\"\r\n"; }

QByteArray withNul(const char *before, const char *after)
{
    return sjis(before) + '\0' + sjis(after);
}

QString shownWithNul(const char *before, const char *after)
{
    return QString::fromUtf8(before) + QChar(0) + QString::fromUtf8(after);
}

QList<QByteArray> snapshot(const Sandbox &box)
{
    QList<QByteArray> files;
    for (const QString &name : {kSettings, kHistory, kDictionary})
        files << (QFileInfo(QDir(box.path()).filePath(name)).isDir() ? kFolder : box.read(name));
    return files;
}

void put(const Sandbox &box, const QString &file, const QByteArray &bytes)
{
    box.remove(file);
    if (bytes == kFolder)
        QDir(box.path()).mkdir(file);
    else if (bytes != kMissing)
        box.write(file, bytes);
}

// `seen`: for an error, a word the box must hold besides the file's name; for a
// normal start, what the window shows of the file (dictionary: the count;
// history: the records in the grid; settings: time, auto-save and mode).
void addCase(const QString &file, const char *name, const QByteArray &bytes, int error,
             const QString &seen, Then then = Then::Nothing, const QByteArray &after = kUnchanged)
{
    const char *tag = file == kSettings ? "settings" : file == kHistory ? "history" : "dictionary";
    QTest::addRow("%s: %s", tag, name) << file << bytes << error << seen << then << after;
}

} // namespace

Q_DECLARE_METATYPE(Then)

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void everyFileEndsInAStartOrAReport_data();
    void everyFileEndsInAStartOrAReport();
};

void TestBadInput::everyFileEndsInAStartOrAReport_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");        // 0: a normal start
    QTest::addColumn<QString>("seen");
    QTest::addColumn<Then>("then");
    QTest::addColumn<QByteArray>("after");  // the file after the follow-up
    const QByteArray big(1 << 20, 'x');

    const QString &s = kSettings;
    addCase(s, "missing", kMissing, 53, {});
    addCase(s, "empty", "", 62, {});
    addCase(s, "only CR LF", "\r\n", 13, "プレイ秒数");
    addCase(s, "record cut short", "60,0\r\n", 62, {});
    // The quote runs to the end of the file, line end and all; the text is
    // written back the same way and reads back unchanged.
    addCase(s, "unterminated quote", "60,0,\"2\r\n", 0, "60 0 2\r\n", Then::PickTime, "50,0,\"2\r\n\"\r\n");
    addCase(s, "play time 32768", "32768,0,\"2\"\r\n", 6, "32768");
    addCase(s, "auto-save -32769", "60,-32769,\"2\"\r\n", 6, "-32769");
    addCase(s, "play time 1e3", "1e3,0,\"2\"\r\n", 13, "1e3");
    addCase(s, "1 MB line without a comma", big + "\r\n", 13, "プレイ秒数");
    // The box holds at most 32,767 characters.
    addCase(s, "1 MB mode text", settingsWith(big), 0, "60 0 " + QString::fromLatin1(big.left(32767)));
    addCase(s, "invalid CP932 in the mode", settingsWith("2:\xFF" + sjis("ノ")), 0, "60 0 2:\uFFFDノ",
            Then::PickTime, "50,0,\"2:?" + sjis("ノ\"\r\n"));
    addCase(s, "lead byte before the closing quote", settingsWith(sjis("2:ノ") + "\x83"), 0,
            "60 0 2:ノ\uFFFD");
    addCase(s, "NUL in the mode", settingsWith(withNul("2:", "ノ")), 0,
            "60 0 " + shownWithNul("2:", "ノ"), Then::PickTime, "50,0,\"" + withNul("2:", "ノ\"\r\n"));
    addCase(s, "NUL in the play time", "6\0,0,\"2\"\r\n"_qba, 13, {});
    addCase(s, "UTF-8 without byte-order mark", settingsWith("2:ノーマル"), 0, {}, Then::Game);
    addCase(s, "a folder", kFolder, 75, {});

    const QString &h = kHistory;
    addCase(h, "missing", kMissing, 53, {});
    addCase(h, "empty", "", 0, "0", Then::Save, kSaved);
    addCase(h, "only CR LF", "\r\n", 62, {});
    addCase(h, "record cut short", kRecord.left(26) + "\r\n", 62, {});
    addCase(h, "unterminated quote", kRecord + "\"2026/05/07,21:03:15\r\n", 62, {});
    addCase(h, "right answers 32768", recordWith(4, "32768"), 6, "32768");
    addCase(h, "wrong answers -32769", recordWith(5, "-32769"), 6, "-32769");
    addCase(h, "right answers 1e3", recordWith(4, "1e3"), 13, "1e3");
    addCase(h, "1 MB line without a comma", big + "\r\n", 62, {});
    addCase(h, "invalid CP932 in the mode", recordWith(9, "\"\xFF\""), 0, "1", Then::Save,
            recordWith(9, "\"\xFF\"") + kSaved);
    addCase(h, "lead byte before a quote", recordWith(8, "\"60\x95\""), 0, "1", Then::Clear, "");
    addCase(h, "last record without line end", kRecord + kRecord.chopped(2), 0, "2", Then::Save,
            kRecord + kRecord + kSaved);
    addCase(h, "NUL in the mode", recordWith(9, "\"\0\""_qba), 0, "1", Then::Save,
            recordWith(9, "\"\0\""_qba) + kSaved);
    addCase(h, "NUL in the right answers", recordWith(4, "2\0"_qba), 13, {});
    addCase(h, "UTF-8 without byte-order mark",
            QByteArray("\"2026/05/06\",\"21:03:15\",25,20,5,\"80.0%\",\"1.33/秒\",\"60秒\",\"2\"\r\n").repeated(2),
            0, "2", Then::Clear, "");
    addCase(h, "32,766 records", kRecord.repeated(32766), 0, "32766", Then::Save);
    addCase(h, "32,767 records", kRecord.repeated(32767), 6, "32767");
    addCase(h, "a folder", kFolder, 75, {});

    const QString &d = kDictionary;
    const QByteArray idioms = sjis("一石二鳥\r\n四面楚歌\r\n温故知新\r\n");
    addCase(d, "missing", kMissing, 53, {});
    addCase(d, "empty", "", 0, "0", Then::Game);
    addCase(d, "only CR LF", "\r\n", 0, "1", Then::Game);
    addCase(d, "unterminated quote", sjis("一石二鳥\r\n\"四面楚歌\r\n温故知新\r\n"), 0, "2", Then::Game);
    addCase(d, "1 MB line without a comma", sjis("一").repeated(1 << 19) + "\r\n", 0, "1", Then::Game);
    addCase(d, "invalid CP932", sjis("一石") + "\xFF" + sjis("二鳥\r\n四面楚歌\r\n"), 0, "2", Then::Game);
    addCase(d, "lead byte before a line end", sjis("一石二") + "\x92\r\n" + idioms, 0, "4", Then::Game);
    addCase(d, "lead byte at the end", idioms + sjis("一石二") + "\x92", 0, "4");
    addCase(d, "NUL bytes", withNul("一石", "二鳥\r\n"), 0, "1", Then::Game);
    addCase(d, "UTF-8 without byte-order mark", "一石二鳥\r\n四面楚歌\r\n温故知新\r\n", 0, "3", Then::Game);
    addCase(d, "32,767 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n"), 0, "32767", Then::Game);
    addCase(d, "32,768 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n花鳥風月\r\n"), 6, "32767");
    addCase(d, "a folder", kFolder, 75, {});
}

void TestBadInput::everyFileEndsInAStartOrAReport()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(QString, seen);
    QFETCH(Then, then);
    QFETCH(QByteArray, after);
    FormFixture f;
    f.sandbox.writeDefaults();
    put(f.sandbox, file, bytes);
    const QList<QByteArray> before = snapshot(f.sandbox);
    frmMain &w = *f.form;

    QElapsedTimer timer;
    timer.start();
    f.load();
    if (timer.elapsed() > 200)
        qInfo("startup took %lld ms", timer.elapsed());
    QCOMPARE(snapshot(f.sandbox), before);

    if (error != 0) {
        QCOMPARE(f.process.exits, QList<int>{1});
        QCOMPARE(f.messages.shown.size(), 1);
        const ShownBox &box = f.messages.shown.first();
        QCOMPARE(box.icon, MsgIcon::Critical);
        QVERIFY2(box.text.startsWith(QStringLiteral("実行時エラー '%1'").arg(error)), qPrintable(box.text));
        QVERIFY(box.text.contains(QStringLiteral("ファイル: ") + file));
        QVERIFY2(box.text.contains(seen), qPrintable(box.text));
        QVERIFY2(box.text.size() < 400, "the box quotes a whole line");
        QCOMPARE(w.isVisible(), file != kHistory);   // the history is read before the window shows
        return;
    }

    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.value(0).text));
    QVERIFY(f.process.exits.isEmpty());
    QVERIFY(w.isVisible());
    if (file == kDictionary)
        QCOMPARE(w.fraJisyo->title(), QStringLiteral("登録四字熟語 %1個").arg(seen));
    else if (file == kHistory)
        QCOMPARE(QString::number(w.msgRireki->Rows() - 1), seen);
    else if (!seen.isEmpty())
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(w.state.PlayByou).arg(w.state.AutoSave).arg(w.cboHide->currentText()), seen);

    const int index = file == kSettings ? 0 : file == kHistory ? 1 : 2;
    QList<QByteArray> expected = before;
    if (after != kUnchanged)
        expected[index] = after;
    timer.restart();
    switch (then) {
    case Then::Nothing:
        break;
    case Then::Game: {
        f.startGame();
        if (w.lstJisyo->model()->rowCount() == 0) {
            QCOMPARE(f.messages.titles(), QStringList{"スタートチェック"});
            QVERIFY(!w.state.StartWait && w.cmdStart->isEnabled());
            break;
        }
        QVERIFY(f.messages.shown.isEmpty());
        QVERIFY(w.state.Playing);
        // The draw falls on the first entry; open cells show its characters.
        QCOMPARE(w.state.Mondai, w.lstJisyo->model()->index(0, 0).data().toString());
        for (int i = 1; i <= 4; ++i) {
            if (!w.lblMondai[i]->text().isEmpty())
                QCOMPARE(w.lblMondai[i]->text(), w.state.Mondai.mid(i - 1, 1));
        }
        break;
    }
    case Then::Save: {
        f.startGame();
        f.answer(w.state.Mondai);
        f.runOutTheClock();
        const int rows = w.msgRireki->Rows();
        w.cmdHozon->click();
        // Saved, or refused with the file as it was; either way it reads back whole.
        const bool saved = after != kUnchanged;
        QCOMPARE(f.process.exits.isEmpty(), saved);
        if (!saved) {
            const QString text = f.messages.shown.value(0).text;
            QVERIFY2(text.startsWith(QStringLiteral("実行時エラー '6'"))
                         && text.contains(QStringLiteral("ファイル: ") + kHistory),
                     qPrintable(text));
        }
        QCOMPARE(w.msgRireki->Rows(), rows + saved);
        qsizetype records = -1;
        QCOMPARE(failureSummary([&] { records = readHistory(kHistory).size(); }), QString());
        QCOMPARE(records, qsizetype(rows - 1 + saved));
        break;
    }
    case Then::Clear:
        f.messages.answers = {MsgResult::Ok};
        w.cmdClear->click();
        QCOMPARE(f.messages.titles(), (QStringList{"クリア確認", "クリア終了"}));
        QCOMPARE(w.msgRireki->Rows(), 1);
        break;
    case Then::PickTime:
        QTest::keyClick(w.cboJikan, Qt::Key_Up);   // "60" to "50"
        QCOMPARE(w.state.PlayByou, qint16(50));
        break;
    }
    if (timer.elapsed() > 200)
        qInfo("the follow-up took %lld ms", timer.elapsed());
    QCOMPARE(snapshot(f.sandbox), expected);
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
