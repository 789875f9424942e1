#include "files/settings_file.h"

#include "runtime/cp932.h"
#include "runtime/seqfile.h"

namespace sumiraku {

namespace {

// The reader's own error names the value; this names the setting as well.
qint16 readSetting(FieldReader &reader, const QString &name)
{
    try {
        return reader.readInteger();
    } catch (const RuntimeError &e) {
        if (e.number() == ErrorNumber::InputPastEnd)
            throw;
        const QString problem = e.number() == ErrorNumber::Overflow
                                    ? QStringLiteral("%1が整数の範囲を超えています。%2")
                                    : QStringLiteral("%1が整数ではありません。%2");
        throw RuntimeError(e.number(), reader.fileName(), problem.arg(name, e.detail()), Access::Read);
    }
}

// A value outside what the game accepts is reported as the classic reports a
// value outside what a variable can hold.
[[noreturn]] void refuse(const QString &fileName, const QString &rule, qint16 value)
{
    throw RuntimeError(ErrorNumber::Overflow, fileName, rule.arg(value), Access::Read);
}

} // namespace

Settings readSettings(const QString &fileName)
{
    return parseSettings(readFileBytes(fileName), fileName);
}

Settings parseSettings(const QByteArray &bytes, const QString &fileName)
{
    QByteArray text = ownedTextOfFile(bytes);
    requireCp932(text, fileName);
    FieldReader reader(std::move(text), fileName);
    Settings settings;
    settings.PlayByou = readSetting(reader, QStringLiteral("プレイ秒数"));
    settings.AutoSave = readSetting(reader, QStringLiteral("自動保存"));
    settings.HideMode = reader.readString();

    if (settings.PlayByou < 1)
        refuse(fileName, QStringLiteral("プレイ秒数は 1 以上にしてください。値: %1"),
               settings.PlayByou);
    if (settings.AutoSave != 0 && settings.AutoSave != 1)
        refuse(fileName, QStringLiteral("自動保存は 0 か 1 にしてください。値: %1"),
               settings.AutoSave);
    return settings;
}

QByteArray settingsBytes(qint16 playByou, qint16 autoSave, const QString &mode)
{
    return encodeCp932(formatRecord({qint32(playByou), qint32(autoSave), mode}));
}

void writeSettings(qint16 playByou, qint16 autoSave, const QString &mode, const QString &fileName)
{
    replaceFile(fileName, settingsBytes(playByou, autoSave, mode));
}

} // namespace sumiraku
