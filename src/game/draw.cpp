#include "game/rules.h"

#include "app/frmMain.h"
#include "platform/numbers.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace sumiraku {

qint16 drawIndex(qint16 count, float r)
{
    const float k = static_cast<float>(count) * r + 1.0f;
    const int index = static_cast<int>(std::floor(k));
    return static_cast<qint16>(std::clamp(index, 1, std::max<int>(count, 1)));
}

qint16 hideCountFor(const QString &mode, float r)
{
    if (mode == QStringLiteral("R:ランダム"))
        return static_cast<qint16>(std::floor(4.0f * r));
    // A typed mode text may ask for more cells than there are places to record.
    const double count = std::nearbyint(leadingNumber(mode));
    return static_cast<qint16>(std::clamp(count, 0.0, 3.0));
}

int bagPosition(int n, float r)
{
    const float j = static_cast<float>(n) * r;
    return std::clamp(static_cast<int>(std::floor(j)), 0, n - 1);
}

qint32 clockReading(double secondsSinceMidnight, qint32 firstReading)
{
    constexpr qint32 secondsPerDay = 86400;
    auto reading = static_cast<qint32>(std::floor(secondsSinceMidnight));
    if (reading < firstReading)
        reading += secondsPerDay;
    return reading;
}

int barWidth(qint16 secondsLeft, qint16 playByou, qint16 fullWidth)
{
    const double width =
        std::floor(static_cast<double>(secondsLeft) / playByou * 100 * fullWidth / 100);
    return static_cast<int>(std::clamp(width, 0.0, 1.0e9));
}

} // namespace sumiraku

void frmMain::drawMondai()
{
    platform().random->randomize(platform().clock->secondsSinceMidnight());
    const float r = platform().random->next();
    state.Mondai = state.Jisyo.value(sumiraku::drawIndex(state.JisyoCount, r));
    state.MondaiDrawn = true;
}
