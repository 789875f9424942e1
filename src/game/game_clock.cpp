#include "app/frmMain.h"

#include "game/rules.h"
#include "controls/controls.h"
#include "controls/flexgrid.h"
#include "runtime/numbers.h"
#include "study/study.h"

#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <algorithm>
#include <cmath>

using namespace sumiraku;

namespace {

// Each closing step of a game stands alone: one that fails is skipped.
template <typename Step>
void tryStep(Step step)
{
    try {
        step();
    } catch (const std::exception &) {
    }
}

} // namespace

void frmMain::tmrBp_Timer()
{
    if (!state.Playing)
        return;
    state.JikanNow = static_cast<qint32>(std::floor(platform().clock->steadySeconds()));
    state.JikanNokori = secondsLeft(state.JikanEnd, state.JikanNow);
    shpJikanK->setWidthTwips(barWidth(state.JikanNokori, state.GameByou, state.JikanBarWidth));
    if (state.JikanNokori >= 1)
        return;

    state.Playing = false;
    cmdStart->setEnabled(true);
    tryStep([this] { lstJisyo->setFocus(); });
    tryStep([this] { lblByou->setText(formatPerSecond(state.MojiCount, state.GameByou)); });
    tryStep([this] { lblRitu->setText(endRateText(state.OkCount, state.NgCount, state.MojiCount)); });
    tryStep([this] { lblMoji_T->setText(QString::number(state.MojiCount)); });
    tryStep([this] { study->gameEnded(platform().clock->now().date()); });
    if (state.AutoSave == 1)
        tryStep([this] { saveResult(true); });
}
