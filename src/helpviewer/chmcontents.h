#pragma once

// Reading what a compiled help file says about itself: the table of contents
// (a sitemap page), the text of its pages and the paths it links to.

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace sumiraku {

struct HelpTopic {
    QString name;
    QString path;   // inside the file, "/page.html"; empty for a heading without a page
    int depth = 0;  // 0 for the top level
};

// The entries of a table of contents in document order. Malformed markup gives
// fewer entries, never an error; the count and the depth are bounded.
std::vector<HelpTopic> parseHelpContents(const QString &sitemap);

// A link as a help file writes it ("page.htm", "sub\\p.htm", "ms-its:x.chm::/p.htm")
// made into a path from the root of the file; `base` is the path of the linking page.
QString helpPath(QString link, const QString &base = QStringLiteral("/"));

// Help pages come in UTF-8 or in the Japanese code page, often without saying which:
// honour a meta charset, then a byte order mark, then take valid UTF-8 as UTF-8 and
// anything else as code page 932.
QString decodeHelpPage(QByteArrayView bytes);

// Text without a charset of its own (the strings of the file's system record).
QString decodeHelpText(QByteArrayView bytes);

} // namespace sumiraku
