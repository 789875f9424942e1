// Arbitrary bytes through the code page 932 decoder. Its result must be what
// iconv gives for the whole text at once (restarted after each bad spot), hold
// no surrogate, and read back unchanged after being written again, but for a
// "?" in place of each replacement character.

#include "fuzz_support.h"
#include "sandbox.h"

#include "runtime/cp932.h"

#include <algorithm>

using namespace sumiraku;

FUZZ_TARGET(bytes)
{
    const QString text = decodeCp932(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    FUZZ_CHECK(std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }));
    FUZZ_CHECK(text == testing::fromSjis(bytes));
    FUZZ_CHECK(decodeCp932(encodeCp932(text)) == QString(text).replace(QChar(0xFFFD), u'?'));
}
