// The dictionary in memory and the next question drawn from it.

#include "app/frmMain.h"

#include "files/dictionary_file.h"
#include "game/rules.h"
#include "runtime/numbers.h"
#include "study/study.h"

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
    // Half the draws, by the player's choice, ask an idiom often missed; with
    // the choice off the draw is the classic one, number for number.
    if (study->drawMissedMore() && platform().random->next() < 0.5f) {
        const QString missed = study->pickMissed(state.Jisyo, platform().random->next());
        if (!missed.isEmpty()) {
            state.Mondai = missed;
            return;
        }
    }
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
