// The four cells of the question: their captions and colours, and the clicks
// that reveal them (the hint strip) or open them for S mode.

#include "app/frmMain.h"

#include "controls/controls.h"
#include "game/rules.h"
#include "study/study.h"

#include <algorithm>


using namespace sumiraku;

QColor frmMain::buttonFace() const
{
    return palette().color(QPalette::Button);
}

QString frmMain::modeText() const
{
    return cboHide->currentText();
}

void frmMain::setCell(int i, const QColor &back, const QString &caption)
{
    lblMondai[i]->setBackColor(back);
    lblMondai[i]->setText(caption);
}

void frmMain::cutMoji()
{
    const std::array<QString, 4> characters = cellCharacters(state.Mondai);
    for (int i = 1; i <= 4; ++i) {
        state.Moji[i] = characters[i - 1];
        lblMondai[i]->setText(state.Moji[i]);
    }
}

std::array<QString, 4> frmMain::captions() const
{
    return {lblMondai[1]->text(), lblMondai[2]->text(), lblMondai[3]->text(),
            lblMondai[4]->text()};
}

void frmMain::lblHint_Click()
{
    revealMondai();
}

void frmMain::revealMondai()
{
    const auto shown = captions();
    if (state.Playing && std::any_of(shown.cbegin(), shown.cend(), [](const QString &c) { return c.isEmpty(); }))
        study->revealed(state.Mondai);
    cutMoji();   // every character shows; the backgrounds stay as they are
}

void frmMain::lblMondai_Click(qint16 Index)
{
    if (!opensCellsByLetter(modeText()))
        return;
    // The new state follows the colour the cell shows, not the flag.
    if (lblMondai[Index]->backColor().rgb() == buttonFace().rgb()) {
        lblMondai[Index]->setBackColor(white());
        state.Mado[Index] = true;
    } else {
        lblMondai[Index]->setBackColor(buttonFace());
        state.Mado[Index] = false;
    }
}
