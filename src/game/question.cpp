// The dictionary in memory and the next question drawn from it.

#include "app/frmMain.h"

#include "files/dictionary_file.h"
#include "game/rules.h"
#include "runtime/numbers.h"

using namespace sumiraku;

bool frmMain::LoadJisyo()
{
    // One read serves both the count and the entries: they come from the same
    // bytes, so the stored entries are exactly the ones counted.
    QStringList entries = readDictionary();
    // A blank line is no idiom: drawn, it would show empty cells that an empty
    // answer solves.
    entries.removeIf([](const QString &entry) { return entry.trimmed().isEmpty(); });
    if (entries.isEmpty())
        return false;
    state.JisyoCount = checked16(entries.size());
    entries.prepend(QString());   // Jisyo(0) exists and stays empty
    state.Jisyo = std::move(entries);
    return true;
}

void frmMain::drawMondai()
{
    platform().random->randomize(platform().clock->secondsSinceMidnight());
    const float r = platform().random->next();
    state.Mondai = state.Jisyo.value(drawIndex(state.JisyoCount, r));
}

void frmMain::askMondai(bool playerOpensCells)
{
    drawMondai();
    cutMoji();
    if (playerOpensCells)
        ApplyMado();
    else
        HideMoji();
}
