#pragma once

// The services the window gets from the system, each behind a small interface so
// that tests can answer message boxes, set the clock and fix the random draws.

#include <QDateTime>
#include <QSettings>
#include <QString>

class QWidget;

namespace sumiraku {

enum class MsgButtons { OkOnly, OkCancel };
enum class MsgIcon { Critical, Exclamation, Information };
enum class MsgResult { Ok = 1, Cancel = 2 };

// Modal message boxes; timer ticks go on while one is open.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgResult show(QWidget *owner, const QString &text, const QString &title,
                           MsgButtons buttons, MsgIcon icon) = 0;
};

// Ends the process at once: nothing after the call runs in the real program.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    virtual void exitNow(int status) = 0;
};

// The wall clock for the draws' seeds and the records' dates; a steady clock,
// which no step of the wall clock moves, for the length of a game.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
    virtual QDateTime now() const = 0;
    virtual double steadySeconds() const = 0;   // from any fixed point in the past
};

// A uniform source on [0, 1) in single precision.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void randomize(double seed) = 0;   // stir in a seed taken from the clock
    virtual float next() = 0;
};

// The help window: opens the default topic of a help file, closes all its windows.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void displayTopic(QWidget *owner, const QString &helpFile) = 0;
    virtual void closeAll() = 0;
};

// Non-owning set of services handed to the window.
struct Platform {
    MessageBoxes *messages = nullptr;
    ProcessControl *process = nullptr;
    Clock *clock = nullptr;
    RandomSource *random = nullptr;
    HelpViewer *help = nullptr;
    // The player's own preferences, kept outside the play folder; none: the
    // preferences last as long as the window.
    QSettings *preferences = nullptr;
};

} // namespace sumiraku
