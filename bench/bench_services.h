#pragma once

// Services for benchmarks that drive the real window: a failure is printed and
// ends the run (no box waits for a click nobody makes), and a clock the
// benchmark sets, so that a game lasts as long as the measurement needs.

#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

class ReportingMessages : public sumiraku::MessageBoxes {
public:
    sumiraku::MsgResult show(QWidget *, const QString &text, const QString &title,
                             sumiraku::MsgButtons, sumiraku::MsgIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return sumiraku::MsgResult::Ok;
    }
};

class SetClock : public sumiraku::Clock {
public:
    double seconds = 36000.0;
    double secondsSinceMidnight() const override { return seconds; }
    double steadySeconds() const override { return seconds; }
    QDateTime now() const override
    {
        return QDateTime(QDate(2026, 5, 6), QTime::fromMSecsSinceStartOfDay(int(seconds * 1000)));
    }
};

} // namespace bench
