// Arbitrary bytes as the settings file. Only the program's own runtime errors,
// naming the file, may come out; settings that are accepted are usable by a
// game, and writing them gives a file that reads back the same.

#include "fuzz_support.h"

#include "files/settings_file.h"

#include <cstdint>

using namespace sumiraku;

namespace {

const QString kName = QStringLiteral("設定.txt");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<Settings> read =
        readOrRefuse(kName, [&] { return parseSettings(fileBytes(data, size), kName); });
    if (!read)
        return 0;
    const Settings &settings = *read;
    FUZZ_CHECK(settings.PlayByou >= 1);
    FUZZ_CHECK(settings.AutoSave == 0 || settings.AutoSave == 1);

    // A mode with a quote cannot be written in quotes; a bad byte's
    // replacement is written as "?".
    if (settings.HideMode.contains(u'"') || settings.HideMode.contains(QChar(0xFFFD)))
        return 0;
    const Settings again = parseSettings(
        settingsBytes(settings.PlayByou, settings.AutoSave, settings.HideMode), kName);
    FUZZ_CHECK(again.PlayByou == settings.PlayByou);
    FUZZ_CHECK(again.AutoSave == settings.AutoSave);
    FUZZ_CHECK(again.HideMode == settings.HideMode);
    return 0;
}
