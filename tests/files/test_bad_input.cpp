// Broken, odd and oversized data files at startup, and what the player does
// next. Each case ends in a normal start or in an error box naming the file and
// a non-zero exit; reading never changes a file, and the follow-up changes only
// the file it is meant to change.

#include "form_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

using namespace sumiraku;
using namespace sumiraku::testing;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kMissing("<missing>");   // what Sandbox::read gives for no file
const QByteArray kFolder("<folder>");
const QByteArray kFifo("<fifo>");
const QByteArray kDevice("<device>");   // a link to /dev/zero
const QByteArray kUnchanged("<unchanged>");
const QStringList kFiles{kSettings, kHistory, kDictionary};

// The record of the game "start =* end save" plays: one right answer of four
// characters in 60 seconds.
const QByteArray kSaved = sjis(R"("2026/05/06","21:03:15",1,1,0,"100.0%","0.07/秒","60秒","2")" "\r\n");

// The history record with field `field` (from 1) replaced.
QByteArray recordWith(int field, const QByteArray &value)
{
    QList<QByteArray> fields = kRecord.chopped(2).split(',');
    fields[field - 1] = value;
    return fields.join(',') + "\r\n";
}

QList<QByteArray> snapshot(const Sandbox &box)
{
    QList<QByteArray> files;
    for (const QString &name : kFiles) {
        const QFileInfo info(QDir(box.path()).filePath(name));
        files << (info.isDir() ? kFolder : info.exists() && !info.isFile() ? kDevice : box.read(name));
    }
    return files;
}

// For an error, `then` holds the words its box must show besides the file's
// name; for a normal start, a script the window plays next (see
// FormFixture::play), and `after` the file's bytes once it has.
void add(const QString &file, const char *name, const QByteArray &bytes, int error, const QString &then,
         const QByteArray &after = kUnchanged)
{
    QTest::addRow("%s: %s", qPrintable(file), name) << file << bytes << error << then << after;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void everyFileEndsInAStartOrAReport_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");   // 0: a normal start
        QTest::addColumn<QString>("then");
        QTest::addColumn<QByteArray>("after");
        const QByteArray big(1 << 20, 'x');

        for (const QString &file : kFiles) {
            add(file, "missing", kMissing, 53, u"ファイルがありません。"_s);
            add(file, "a folder", kFolder, 75, u"ファイルではなくフォルダーです。"_s);
        }
        const QString &s = kSettings;
        add(s, "record cut short", "60,0\r\n", 62, {});
        add(s, "16 MB and a byte", QByteArray(16 << 20, ' ') + "60,0,\"2\"\r\n", 6, u"16 MB"_s);
        add(s, "only CR LF", "\r\n", 13, u"プレイ秒数が整数ではありません。"_s);
        add(s, "play time 0", "0,0,\"2\"\r\n", 6, u"プレイ秒数は"_s);
        add(s, "auto-save 2", "60,2,\"2\"\r\n", 6, u"自動保存は"_s);
        add(s, "auto-save -32769", "60,-32769,\"2\"\r\n", 6, u"自動保存が整数の範囲を超えています。 -32769"_s);
        add(s, "1 MB line without a comma", big + "\r\n", 13, u"プレイ秒数"_s);
        add(s, "1 MB mode text", "60,0,\"" + big + "\"\r\n", 0, u"shown~=60,0,xxxxxxxx"_s);
        // The quote runs to the end of the file, line end and all; the text is
        // written back the same way and reads back unchanged. A time above the
        // list's longest is still usable.
        add(s, "unterminated quote", "600,0,\"2\r\n", 0, u"shown~=600,0,2 time:50"_s, "50,0,\"2\r\n\"\r\n");
        add(s, "invalid CP932 in the mode", "60,0,\"2:\xFF" + sjis("ノ\"\r\n"), 0, u"shown=60,0,2:\uFFFDノ time:50"_s,
            "50,0,\"2:?" + sjis("ノ\"\r\n"));
        add(s, "Ctrl-Z ends the text", "60,0,\"2\x1A\"\r\n", 0, u"shown=60,0,2"_s);
        add(s, "UTF-8", "60,0,\"2:ノーマル\"\r\n", 321, u"UTF-8 Shift_JIS"_s);
        add(s, "a mode whose bytes are also UTF-8", sjis("60,0,\"ﾅム\"\r\n"), 0, u"shown=60,0,ﾅム"_s);   // C5 83 6D: Ńm
        add(s, "UTF-8 byte-order mark", "\xEF\xBB\xBF" + sjis("60,0,\"2:ノーマル\"\r\n"), 321, u"バイト順マーク"_s);
        add(s, "NUL in the mode", "60,0,\"\0\"\r\n"_qba, 0, u"shown=60,0,"_s + QChar(0) + u" time:50"_s, "50,0,\"\0\"\r\n"_qba);

        const QString &h = kHistory;
        add(h, "a FIFO", kFifo, 75, u"通常のファイルではありません"_s);
        add(h, "record cut short", kRecord.left(26) + "\r\n", 62, u"1行目、4番目の項目「ＯＫ」がありません。"_s);
        add(h, "right answers 32768", recordWith(4, "32768"), 6, u"32768"_s);
        add(h, "right answers 1e3", kRecord + recordWith(4, "1e3"), 13, u"2行目、4番目の項目「ＯＫ」が読めません。値:_\"1e3\""_s.replace(u'_', u' '));
        add(h, "32,767 records", kRecord.repeated(32767), 6, u"32767"_s);
        add(h, "empty", "", 0, u"rows=0 start =* end save rows=1"_s, kSaved);
        // A record may run across lines; the file keeps bytes it cannot decode,
        // and a last line without its line end gets one before the next record.
        const QByteArray odd = recordWith(9, "\"\xFF\"") + QByteArray(kRecord).replace(",20,", ",20\r\n").chopped(2);
        add(h, "odd but readable", odd, 0, u"rows=2 start =* end save rows=3"_s, odd + "\r\n" + kSaved);
        add(h, "Ctrl-Z after the last record", kRecord + "\x1A", 0, u"rows=1 start =* end save rows=2"_s, kRecord + kSaved + "\x1A");
        add(h, "UTF-8 without byte-order mark", kRecord.repeated(2).replace(sjis("秒"), "秒"), 321, u"Shift_JIS"_s);
        add(h, "32,766 records", kRecord.repeated(32766), 0, u"rows=32766 start =* end save rows=32766 exits= box=保存(!)"_s);

        const QString &d = kDictionary;
        add(d, "a link to /dev/zero", kDevice, 75, u"通常のファイルではありません"_s);
        const QByteArray idioms = sjis("一石二鳥\r\n四面楚歌\r\n温故知新\r\n");
        add(d, "32,768 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n花鳥風月\r\n"), 6, u"32767"_s);
        add(d, "empty", "", 0, u"dictionary=登録四字熟語_0個: start boxes=スタートチェック phase=idle"_s);
        // A blank entry is listed but never asked.
        add(d, "blanks, quotes, an empty line and Ctrl-Z", sjis(" 一石二鳥\t\r\n\"一石二鳥,温故知新\"\r\n\r\n温故知新\r\n\x1A"),
            0, u"dictionary=登録四字熟語_4個:一石二鳥,一石二鳥,温故知新,,温故知新 type:0:隠さない r:0.6 start cells=一石二鳥"_s);
        add(d, "UTF-8 with byte-order mark", "\xEF\xBB\xBF一石二鳥\r\n温故知新", 0,
            u"dictionary=登録四字熟語_2個:一石二鳥,温故知新 type:0:隠さない start cells=一石二鳥"_s);
        add(d, "UTF-8 byte-order mark before ASCII alone", "\xEF\xBB\xBF" "abcd\r\n", 0, u"dictionary=登録四字熟語_1個:abcd"_s);
        // Cells hold characters, not UTF-16 units.
        add(d, "UTF-8 without byte-order mark", "𠮟咤激励\r\n一石二鳥\r\n", 0,
            u"dictionary=登録四字熟語_2個:𠮟咤激励,一石二鳥 type:0:隠さない start cells=𠮟咤激励"_s);
        add(d, "32,767 entries", idioms.repeated(32766 / 3) + sjis("一期一会\r\n"), 0, u"dictionary~=32767個 start phase=playing"_s);
    }

    void everyFileEndsInAStartOrAReport()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QString, then);
        QFETCH(QByteArray, after);
        FormFixture f;
        f.sandbox.writeDefaults();
        f.sandbox.remove(file);
        const QString path = QDir(f.sandbox.path()).filePath(file);
        if (bytes == kFolder)
            QDir(f.sandbox.path()).mkdir(file);
        else if (bytes == kFifo)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (bytes == kDevice)
            QVERIFY(QFile::link("/dev/zero", path));
        else if (bytes != kMissing)
            f.sandbox.write(file, bytes);
        QList<QByteArray> expected = snapshot(f.sandbox);
        f.load();
        QCOMPARE(snapshot(f.sandbox), expected);

        if (error != 0) {
            QCOMPARE(f.process.exits, QList<int>{1});
            QCOMPARE(f.messages.shown.size(), 1);
            const ShownBox &box = f.messages.shown.first();
            // Reading, not writing, failed; the box quotes no whole line.
            QVERIFY(box.icon == MsgIcon::Critical && box.text.startsWith(u"実行時エラー '%1'"_s.arg(error))
                    && box.text.size() < 400);
            const QStringList words = then.split(u' ', Qt::SkipEmptyParts) << u"ファイル: "_s + file
                                                                           << u"読み込みに失敗しました。"_s;
            for (const QString &word : words)
                QVERIFY2(box.text.contains(word), qPrintable(box.text));
            QCOMPARE(f.form->isVisible(), file != kHistory);   // the history is read before the window shows
            return;
        }
        const QString script = u"boxes= exits= "_s + then;
        QCOMPARE(f.play(script), script.simplified().split(u' '));
        if (after != kUnchanged)
            expected[kFiles.indexOf(file)] = after;
        QCOMPARE(snapshot(f.sandbox), expected);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
