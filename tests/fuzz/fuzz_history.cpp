// Arbitrary bytes as the history file. Only the program's own runtime errors,
// naming the file, may come out; reading the records one at a time gives what
// reading them all gives, the same error included; and a record as the program
// writes it reads back the same.

#include "fuzz_support.h"

#include "files/history_file.h"

#include <tuple>

using namespace sumiraku;

namespace {

auto fields(const HistoryRecord &r)
{
    return std::tie(r.date, r.time, r.questions, r.ok, r.ng, r.rate, r.perSecond, r.length, r.mode);
}

// The program writes questions as a plain number and texts without quotes or
// replacement characters (code page 932 lacks U+FFFD).
bool writable(const HistoryRecord &r)
{
    if (QString::number(r.questions.toInt()) != r.questions)
        return false;
    for (const QString *text : {&r.date, &r.time, &r.rate, &r.perSecond, &r.length, &r.mode}) {
        if (text->contains(u'"') || text->contains(QChar(0xFFFD)))
            return false;
    }
    return true;
}

} // namespace

FUZZ_TARGET(bytes)
{
    const QString name = kHistoryFile.toString();
    int allError = 0, streamError = 0;
    const auto all = readOrRefuse(name, [&] { return parseHistory(bytes, name); }, &allError);
    FUZZ_CHECK(!all || all->size() <= size_t(kMaxHistoryRecords));

    std::vector<HistoryRecord> streamed;
    readOrRefuse(name, [&] {
        HistoryReader reader = HistoryReader::fromBytes(bytes, name);
        for (HistoryRecord record; reader.next(record);)
            streamed.push_back(record);
        return 0;
    }, &streamError);
    FUZZ_CHECK(streamError == allError);
    FUZZ_CHECK(!all || all->size() == streamed.size());
    for (size_t i = 0; all && i < all->size(); ++i)
        FUZZ_CHECK(fields((*all)[i]) == fields(streamed[i]));

    for (const HistoryRecord &r : streamed) {
        if (!writable(r))
            continue;
        const std::vector<HistoryRecord> back = parseHistory(historyRecordBytes(r), name);
        FUZZ_CHECK(back.size() == 1 && fields(back[0]) == fields(r));
    }
}
