#include "app/frmMain.h"

#include "controls/controls.h"

void frmMain::fraJisyo_Click()
{
    frmRireki->setVisible(true);
}

void frmMain::frmRireki_Click()
{
    frmRireki->setVisible(false);
}
