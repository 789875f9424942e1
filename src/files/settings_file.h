#pragma once

// The settings file: play seconds, auto-save flag and the mode text on one line.

#include "files/data_files.h"
#include <QByteArray>
#include <QString>

namespace sumiraku {

struct Settings {
    qint16 PlayByou = 0;
    qint16 AutoSave = 0;
    QString HideMode;
};

// Reads the first three fields (anything after them is ignored) and refuses
// values no game can run with: play seconds below 1, auto-save other than 0
// or 1. Play seconds above the list's 180 are allowed.
Settings readSettings(const QString &fileName = kSettingsFile.toString());
// The same from the file's bytes already read; fileName names it in errors.
Settings parseSettings(const QByteArray &bytes, const QString &fileName);

// The one line of the file, e.g. 60,1,"2:ノーマル" CR LF, in code page 932.
QByteArray settingsBytes(qint16 playByou, qint16 autoSave, const QString &mode);

// Rewrites the whole file atomically.
void writeSettings(qint16 playByou, qint16 autoSave, const QString &mode,
                   const QString &fileName = kSettingsFile.toString());

} // namespace sumiraku
