// Arbitrary bytes as the settings file. Only the program's own runtime errors,
// naming the file, may come out; settings that are accepted are usable by a
// game, and writing them gives a file that reads back the same.

#include "fuzz_support.h"

#include "files/settings_file.h"
#include "runtime/cp932.h"

using namespace sumiraku;

FUZZ_TARGET(bytes)
{
    const QString name = kSettingsFile.toString();
    const auto read = readOrRefuse(name, [&] { return parseSettings(bytes, name); });
    if (!read)
        return;
    const Settings &s = *read;
    FUZZ_CHECK(s.PlayByou >= 1 && (s.AutoSave == 0 || s.AutoSave == 1));
    // A mode with a quote cannot be written in quotes; a bad byte's
    // replacement is written as "?".
    if (s.HideMode.contains(u'"') || s.HideMode.contains(QChar(0xFFFD)))
        return;
    const QByteArray written = settingsBytes(s.PlayByou, s.AutoSave, s.HideMode);
    if (isJapaneseUtf8(written))
        return;   // code page 932 that spells Japanese in UTF-8 too: refused as UTF-8
    const Settings again = parseSettings(written, name);
    FUZZ_CHECK(again.PlayByou == s.PlayByou && again.AutoSave == s.AutoSave && again.HideMode == s.HideMode);
}
