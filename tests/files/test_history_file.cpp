// The history file against record bytes written out by hand, and the reader's
// failures.

#include "files/history_file.h"
#include "runtime/runtime_error.h"
#include "raised.h"
#include "sandbox.h"

#include <QTest>

using namespace sumiraku;
using namespace sumiraku::testing;

namespace {

// "2026/05/06","21:03:15",25,20,5,"80.0%","1.33/秒","60秒","2" CR LF
const QByteArray kExampleBytes = QByteArray::fromHex(
    "22323032362f30352f3036222c" "2232313a30333a3135222c" "32352c32302c352c"
    "2238302e3025222c" "22312e33332f9562222c" "2236309562222c" "2232220d0a");

QStringList fieldsOf(const HistoryRecord &r)
{
    return {r.date, r.time, r.questions, QString::number(r.ok), QString::number(r.ng),
            r.rate, r.perSecond, r.length, r.mode};
}

} // namespace

class TestHistoryFile : public QObject {
    Q_OBJECT

private slots:
    void recordsAreAppendedAndReadBack()
    {
        Sandbox box;
        const HistoryRecord example{"2026/05/06", "21:03:15", "25", 20, 5, "80.0%", "1.33/秒", "60秒", "2"};
        appendHistory(example);
        appendHistory(example);
        QCOMPARE(box.read(kHistory), kExampleBytes + kExampleBytes);

        // A record may run across lines, and the last needs no line end.
        box.write(kHistory, kExampleBytes + "\"d\",\"t\",007\r\n007,0,\"r\",\"p\"\r\n\"l\",\"\"");
        const std::vector<HistoryRecord> records = readHistory();
        QCOMPARE(records.size(), size_t(2));
        QCOMPARE(fieldsOf(records[0]), fieldsOf(example));
        QCOMPARE(fieldsOf(records[1]), (QStringList{"d", "t", "007", "7", "0", "r", "p", "l", ""}));
        emptyHistory();
        QCOMPARE(box.read(kHistory), QByteArray(""));
    }

    // Classic error numbers: 62 input past end, 13 type mismatch.
    void unreadableFilesNameTheFile()
    {
        Sandbox box;
        box.write(kHistory, kExampleBytes + "\"2026/05/07\",\"08:00:00\",3,3\r\n");
        QCOMPARE(failureSummary([] { readHistory(); }), QStringLiteral("62 履歴.txt"));
        box.write(kHistory, "\"d\",\"t\",1,one,0,\"r\",\"p\",\"l\",\"m\"\r\n");
        QCOMPARE(failureSummary([] { readHistory(); }), QStringLiteral("13 履歴.txt"));
    }
};

QTEST_GUILESS_MAIN(TestHistoryFile)
#include "test_history_file.moc"
