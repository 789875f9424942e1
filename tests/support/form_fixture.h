#pragma once

// The real window with fake services, in a sandbox folder.

#include "app/frmMain.h"
#include "fakes.h"
#include "sandbox.h"

#include <memory>

namespace sumiraku {
class FlexGrid;
}

namespace sumiraku::testing {

class FormFixture {
public:
    // Timers stay still unless the test wants them ticking on their own.
    explicit FormFixture(bool ticking = false);
    ~FormFixture();

    Sandbox sandbox;
    FakeMessages messages;
    FakeProcess process;
    FakeClock clock;
    FakeRandom random;
    FakeHelp help;
    std::unique_ptr<frmMain> form;

    // Runs startup as main() does, through the error boundary.
    void load();
    // The program started again in the same folder, as after it ended: a new
    // window loads, the fakes forget what the old one asked.
    void restart();
    // The usual files with this dictionary (and these settings), then startup.
    void loadWith(const QByteArray &dictionary, const QByteArray &settings = {});

    // Enter in the answer box with this text, as the player would.
    void answer(const QString &text);
    void pressKey(Qt::Key key);
    QString cells() const;   // the four captions, "□" for an empty one
    // Start, then the three countdown ticks: the first idiom is on screen.
    void startGame();
    // The clock passes the game's play time and the clock timer ends the game.
    void runOutTheClock();

private:
    void makeForm();
    bool ticking_;
};

// Whether a grid row lies wholly inside the grid's view.
bool rowInView(const FlexGrid *grid, int row);

} // namespace sumiraku::testing
