#include "app/frmMain.h"

#include "platform/controls.h"

void frmMain::lblHint_Click()
{
    cutMoji();   // every character shows; the backgrounds stay as they are
}

void frmMain::lblMondai_Click(qint16 Index)
{
    if (!modeText().startsWith(u'S'))
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
