#pragma once

// A compiled help file opened for reading through chmlib, after the checks of
// chmcheck.h; every object read is bounded in size.

#include "helpviewer/chmcheck.h"
#include "helpviewer/chmcontents.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

struct chmFile;

namespace sumiraku {

class ChmArchive {
public:
    // Null, with a reason for the player in `error`, when the file is missing, unreadable,
    // damaged or has no page to show.
    static std::unique_ptr<ChmArchive> open(const QString &fileName, QString *error);
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    // An object by its path inside the file ("/index.html"); nothing when it is missing,
    // larger than kChmMaxObjectSize or cannot be read whole.
    std::optional<QByteArray> read(const QString &path) const;

    QString title() const { return title_; }
    QString defaultTopic() const { return defaultTopic_; }
    const std::vector<HelpTopic> &contents() const { return contents_; }

private:
    ChmArchive() = default;
    bool exists(const QString &path) const;
    QString findPage(const QStringList &suffixes) const;
    void chooseDefaultTopic(const QString &named);

    chmFile *handle_ = nullptr;
    ChmLayout layout_;
    QString title_;
    QString defaultTopic_;
    std::vector<HelpTopic> contents_;
};

} // namespace sumiraku
