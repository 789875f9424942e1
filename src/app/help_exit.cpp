#include "app/frmMain.h"

#include <QCloseEvent>

void frmMain::cmdHelp_Click()
{
    platform().help->displayTopic(this, state.HelpFile);
}

void frmMain::cmdEnd_Click()
{
    platform().help->closeAll();
    releasePlayFolder();
    platform().process->exitNow(0);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The close box ends the program too; its help windows go with it.
    platform().help->closeAll();
    event->accept();
}
