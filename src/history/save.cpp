#include "app/frmMain.h"

#include "controls/flexgrid.h"
#include "files/history_file.h"
#include "game/rules.h"
#include "runtime/runtime_error.h"

using namespace sumiraku;

void frmMain::cmdHozon_Click()
{
    // A game is saved once, whether by hand or automatically.
    if ((state.OkCount == 0 && state.NgCount == 0) || state.Playing || state.StartWait
        || state.Saved)
        return;
    // One more record now would leave a file the next start cannot read.
    // Refused before the grid or the file change.
    if (msgRireki->Rows() - 1 >= kMaxHistoryRecords) {
        throw RuntimeError(ErrorNumber::Overflow, kHistoryFile.toString(),
                           QStringLiteral("記録が %1 件に達しています。履歴をクリアしてください。")
                               .arg(kMaxHistoryRecords));
    }

    const auto record = [this] {
        return gameRecord(state.OkCount, state.NgCount, state.MojiCount, state.GameByou,
                          state.GameMode, platform().clock->now());
    };
    msgRireki->setRows(msgRireki->Rows() + 1);
    addRirekiRow(msgRireki->Rows() - 1, record());
    scrollRirekiToNewest();

    // The record is made afresh, with the clock read again at this moment.
    appendHistory(record());
    state.Saved = true;
}
