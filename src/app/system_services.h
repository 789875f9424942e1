#pragma once

// The real services: Qt's message boxes, the process, the system clock and a
// pseudo-random generator.

#include "platform/services.h"

#include <memory>
#include <random>

namespace sumiraku {

class QtMessageBoxes : public MessageBoxes {
public:
    MsgResult show(QWidget *owner, const QString &text, const QString &title,
                   MsgButtons buttons, MsgIcon icon) override;
};

class SystemProcess : public ProcessControl {
public:
    [[noreturn]] void exitNow(int status) override;
};

class SystemClock : public Clock {
public:
    double secondsSinceMidnight() const override;
    QDateTime now() const override;
    double steadySeconds() const override;
};

// Re-seeding stirs the clock reading into the generator instead of restarting
// it, so two draws within the same clock tick still differ.
class SystemRandom : public RandomSource {
public:
    SystemRandom();
    void randomize(double seed) override;
    float next() override;

private:
    std::mt19937 engine_;
};

// All the real services together, as the program runs with them. Another set
// of message boxes may stand in (the startup benchmark prints instead of
// waiting for a click).
class SystemPlatform {
public:
    explicit SystemPlatform(MessageBoxes *messages = nullptr);
    ~SystemPlatform();
    const Platform &platform() const { return platform_; }

private:
    QtMessageBoxes boxes_;
    SystemProcess process_;
    SystemClock clock_;
    SystemRandom random_;
    std::unique_ptr<HelpViewer> help_;
    QSettings preferences_{QStringLiteral("SUMIRAKU"), QStringLiteral("SUMIRAKU")};
    Platform platform_;
};

} // namespace sumiraku
