#include "app/frmMain.h"

#include "controls/controls.h"
#include "game/rules.h"
#include "runtime/numbers.h"

#include <QLabel>
#include <cmath>

using namespace sumiraku;

void frmMain::tmrStart_Timer()
{
    if (!state.StartWait) {
        state.StartCount = 0;
        return;
    }
    for (int i = 1; i <= 3; ++i)
        imgStart[i]->hide();
    state.StartCount = add16(state.StartCount, 1);
    imgStart[state.StartCount]->show();
    if (state.StartCount != 3)
        return;

    state.StartWait = false;
    state.GameByou = state.PlayByou;
    state.GameMode = modeText();
    askMondai(opensCellsByLetter(state.GameMode));
    txtKaitou->setFocus();
    state.JikanNow = static_cast<qint32>(std::floor(platform().clock->steadySeconds()));
    state.JikanEnd = state.JikanNow + state.GameByou;
    state.Playing = true;
}
