#include "helpviewer/chmcontents.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace sumiraku {
namespace {

constexpr size_t kMaxTopics = 10000;
constexpr int kMaxDepth = 32;

QString decodeEntities(const QString &text)
{
    static const QRegularExpression entity(QStringLiteral("&(#[xX][0-9a-fA-F]{1,6}|#[0-9]{1,7}|amp|lt|gt|quot|apos);"));
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(u'#'))
            code = name.at(1).toLower() == u'x' ? name.mid(2).toUInt(nullptr, 16) : name.mid(1).toUInt();
        else
            code = name == u"amp" ? U'&' : name == u"lt" ? U'<' : name == u"gt" ? U'>' : name == u"quot" ? U'"' : U'\'';
        if (code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            out += QString::fromUcs4(&code, 1);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString attribute(const QString &attributes, QStringView name)
{
    static const QRegularExpression attr(QStringLiteral(R"re(([\w-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"));
    for (auto it = attr.globalMatch(attributes); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) == 0) {
            for (int group = 2; group <= 4; ++group) {
                if (m.capturedStart(group) >= 0)
                    return decodeEntities(m.captured(group));
            }
        }
    }
    return {};
}

} // namespace

std::vector<HelpTopic> parseHelpContents(const QString &sitemap)
{
    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
    std::vector<HelpTopic> topics;
    int depth = 0;
    bool inTopic = false;
    HelpTopic current;
    for (auto it = tag.globalMatch(sitemap); it.hasNext() && topics.size() < kMaxTopics;) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        if (name == u"ul") {
            depth = std::clamp(depth + (closing ? -1 : 1), 0, kMaxDepth);
        } else if (name == u"object") {
            if (closing && inTopic && !current.name.isEmpty())
                topics.push_back(current);
            inTopic = !closing && attribute(m.captured(3), u"type").compare(u"text/sitemap", Qt::CaseInsensitive) == 0;
            current = HelpTopic{{}, {}, std::max(depth - 1, 0)};
        } else if (inTopic && !closing) {
            const QString param = attribute(m.captured(3), u"name");
            if (param.compare(u"Name", Qt::CaseInsensitive) == 0 && current.name.isEmpty())
                current.name = attribute(m.captured(3), u"value");
            else if (param.compare(u"Local", Qt::CaseInsensitive) == 0 && current.path.isEmpty())
                current.path = helpPath(attribute(m.captured(3), u"value"));
        }
    }
    return topics;
}

QString helpPath(QString link, const QString &base)
{
    link = link.trimmed();
    for (const QChar stop : {u'#', u'?'}) {
        if (const qsizetype at = link.indexOf(stop); at >= 0)
            link.truncate(at);
    }
    if (const qsizetype sep = link.indexOf(u"::"); sep >= 0)
        link = link.mid(sep + 2);
    link.replace(u'\\', u'/');
    if (link.isEmpty())
        return {};
    if (!link.startsWith(u'/'))
        link = base.left(base.lastIndexOf(u'/') + 1) + link;
    QString clean = QDir::cleanPath(u'/' + link);
    while (clean == u"/.." || clean.startsWith(u"/../"))   // nothing lies above the root
        clean.remove(0, 3);
    return clean.isEmpty() ? QStringLiteral("/") : clean;
}

QString decodeHelpPage(QByteArrayView bytes)
{
    static const QRegularExpression meta(QStringLiteral(R"re(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))re"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = meta.match(QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 4096))));
    if (match.hasMatch()) {
        QStringDecoder declared(match.captured(1).toLatin1().constData());
        if (declared.isValid())
            return declared.decode(bytes);
    }
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(bytes);
    }
    return decodeHelpText(bytes);
}

QString decodeHelpText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder japanese("Shift_JIS");
    return japanese.isValid() ? QString(japanese.decode(bytes)) : text;
}

} // namespace sumiraku
