// Arbitrary bytes as the history file. Only the program's own runtime errors,
// naming the file, may come out; reading the records one at a time gives what
// reading them all gives, the same error at the same place included; and a
// record as the program writes it reads back the same.

#include "fuzz_support.h"

#include "files/history_file.h"
#include "runtime/runtime_error.h"

#include <cstdint>
#include <optional>

using namespace sumiraku;

namespace {

const QString kName = QStringLiteral("履歴.txt");

bool sameRecord(const HistoryRecord &a, const HistoryRecord &b)
{
    return a.date == b.date && a.time == b.time && a.questions == b.questions && a.ok == b.ok
           && a.ng == b.ng && a.rate == b.rate && a.perSecond == b.perSecond
           && a.length == b.length && a.mode == b.mode;
}

// The program writes only texts without quotes, questions as a plain number,
// and no replacement characters (code page 932 lacks U+FFFD).
bool writable(const HistoryRecord &r)
{
    bool isNumber = false;
    const int questions = r.questions.toInt(&isNumber);
    if (!isNumber || QString::number(questions) != r.questions)
        return false;
    for (const QString *text : {&r.date, &r.time, &r.rate, &r.perSecond, &r.length, &r.mode}) {
        if (text->contains(u'"') || text->contains(QChar(0xFFFD)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fileBytes(data, size);
    std::vector<HistoryRecord> all;
    std::optional<ErrorNumber> allError;
    try {
        all = parseHistory(bytes, kName);
    } catch (const RuntimeError &e) {
        FUZZ_CHECK(e.file() == kName);
        allError = e.number();
    }
    FUZZ_CHECK(all.size() <= 32766);

    HistoryReader reader = HistoryReader::fromBytes(bytes, kName);
    std::vector<HistoryRecord> streamed;
    std::optional<ErrorNumber> streamError;
    try {
        HistoryRecord r;
        while (reader.next(r))
            streamed.push_back(r);
    } catch (const RuntimeError &e) {
        FUZZ_CHECK(e.file() == kName);
        streamError = e.number();
    }
    FUZZ_CHECK(streamError == allError);
    if (!allError) {
        FUZZ_CHECK(streamed.size() == all.size());
        FUZZ_CHECK(reader.lineCount() >= 0);
        for (size_t i = 0; i < all.size(); ++i)
            FUZZ_CHECK(sameRecord(streamed[i], all[i]));
    }

    for (const HistoryRecord &r : streamed) {
        if (!writable(r))
            continue;
        const std::vector<HistoryRecord> back = parseHistory(historyRecordBytes(r), kName);
        FUZZ_CHECK(back.size() == 1 && sameRecord(back[0], r));
    }
    return 0;
}
