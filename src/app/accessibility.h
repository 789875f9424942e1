#pragma once

// What the window tells assistive technology: a Japanese name and description
// for every control, names that follow the game for the four cells and the
// statistics, and the time bar as a progress bar counting seconds left. The
// statistics panel and the time bar become keyboard stops after the designed
// focus order, shown with a focus ring.

#include <QString>

class QColor;
class frmMain;

namespace sumiraku {

class ClickLabel;

void makeAccessible(frmMain &form);

// "問題 2: 石" for a cell showing its character; a blank cell is hidden when it
// has the colour of a closed cell and open otherwise.
QString cellAccessibleName(int index, const ClickLabel &cell, const QColor &closed);

// Whole seconds left as the time bar shows them: the inverse of the bar's
// width, which the game clock rounds down.
int secondsLeftOnBar(int widthTwips, int playByou, int fullWidthTwips);

} // namespace sumiraku
