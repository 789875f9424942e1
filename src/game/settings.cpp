#include "app/frmMain.h"

#include "files/settings_file.h"
#include "game/rules.h"
#include "controls/controls.h"
#include "runtime/numbers.h"

#include <QToolButton>

using namespace sumiraku;

void frmMain::writeSettingsFile()
{
    writeSettings(state.PlayByou, state.AutoSave, modeText());
}

void frmMain::cboJikan_Click()
{
    state.PlayByou = roundToInt16(leadingNumber(cboJikan->currentText()));
    writeSettingsFile();
}

void frmMain::chkAs_Click()
{
    state.AutoSave = chkAs->isChecked() ? 1 : 0;
    writeSettingsFile();
}

void frmMain::cboHide_Click()
{
    writeSettingsFile();
    if (!opensCellsByLetter(modeText()))
        return;
    // The cells are closed on screen, and so are their designations, so that
    // what the player sees is what the next game opens.
    for (int i = 1; i <= 4; ++i) {
        setCell(i, buttonFace(), QString());
        state.Mado[i] = false;
    }
    platform().messages->show(this, QStringLiteral("表示させたい窓をクリックしてください"),
                              QStringLiteral("表示部指定"), MsgButtons::OkOnly,
                              MsgIcon::Information);
}
