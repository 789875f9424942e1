#include "app/frmMain.h"

#include "controls/flexgrid.h"
#include "files/history_file.h"
#include "game/rules.h"
#include "runtime/runtime_error.h"

using namespace sumiraku;

void frmMain::cmdHozon_Click()
{
    saveResult(false);
}

void frmMain::saveResult(bool automatic)
{
    // A game is saved once, whether by hand or automatically.
    if ((state.OkCount == 0 && state.NgCount == 0) || state.Playing || state.StartWait
        || state.Saved)
        return;

    const int rowsBefore = msgRireki->Rows();
    try {
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
    } catch (const RuntimeError &error) {
        // The result stays unsaved and the program runs on, so the player can
        // make room, clear the history or try again; no row the file lacks.
        msgRireki->setRows(rowsBefore);
        const QString what = automatic ? QStringLiteral("自動保存") : QStringLiteral("保存");
        platform().messages->show(this,
                                  QStringLiteral("結果を%1できませんでした。\n\n%2").arg(what, error.message()),
                                  what, MsgButtons::OkOnly, MsgIcon::Exclamation);
    } catch (...) {
        msgRireki->setRows(rowsBefore);
        throw;
    }
}
