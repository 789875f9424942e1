// The decoder remembers what iconv answered for each byte and byte pair; its
// result must stay what converting the whole text with iconv gives, with the
// same replacements, whatever the bytes.

#include "runtime/cp932.h"

#include <QRandomGenerator>
#include <QTest>
#include <iconv.h>

using namespace sumiraku;

namespace {

bool isLead(uchar b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(uchar b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The text converted by iconv in one go, restarted after each bad spot: one
// U+FFFD for a bad pair (a lead and a trail byte), one for any other bad byte.
QString wholeTextThroughIconv(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    const auto *src = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    qsizetype pos = 0;
    while (pos < n) {
        if (src[pos] < 0x80) {
            out += QChar(src[pos++]);
            continue;
        }
        char16_t buffer[4096];
        char *in = const_cast<char *>(bytes.constData() + pos);
        size_t inLeft = size_t(n - pos);
        char *to = reinterpret_cast<char *>(buffer);
        size_t toLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        const int err = errno;
        out += QStringView(buffer, (to - reinterpret_cast<char *>(buffer)) / 2).toString();
        pos = n - qsizetype(inLeft);
        if (r == size_t(-1) && err != E2BIG) {
            out += QChar(0xFFFD);
            pos += isLead(src[pos]) && pos + 1 < n && isTrail(src[pos + 1]) ? 2 : 1;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

class TestCp932Decoder : public QObject {
    Q_OBJECT

private slots:
    void everyPairOfBytesDecodesAsIconvDoes()
    {
        for (int first = 0x80; first <= 0xFF; ++first) {
            for (int second = 0; second <= 0xFF; ++second) {
                const QByteArray bytes = QByteArray("A") + char(first) + char(second) + 'B';
                if (decodeCp932(bytes) != wholeTextThroughIconv(bytes))
                    QFAIL(qPrintable(QStringLiteral("bytes %1").arg(QString::fromLatin1(bytes.toHex()))));
            }
            const QByteArray last = QByteArray("A") + char(first);
            QCOMPARE(decodeCp932(last), wholeTextThroughIconv(last));
        }
    }

    // Bytes at random, mostly ASCII with pairs and bad bytes among them.
    void longRandomTextDecodesAsIconvDoes()
    {
        QRandomGenerator random(932);
        QByteArray bytes(1 << 18, Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random.bounded(4) == 0 ? random.bounded(256) : random.bounded(0x20, 0x7F));
        QCOMPARE(decodeCp932(bytes), wholeTextThroughIconv(bytes));
    }
};

QTEST_GUILESS_MAIN(TestCp932Decoder)
#include "test_cp932_decoder.moc"
