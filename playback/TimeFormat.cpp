#include "playback/TimeFormat.h"

#include "engine/MediaEngine.h"

#include <QLabel>

#include <cmath>

QString FormatTime(long seconds)
{
    long hours = 0;
    QString minutes = QStringLiteral("00");
    QString secs = QStringLiteral("00");
    long t = seconds;
    if (t >= 3600) {
        hours = t / 3600;
        t -= hours * 3600;
    }
    if (t >= 60) {
        const long m = t / 60;
        t -= m * 60;
        minutes = QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
    }
    if (t > 0)
        secs = QStringLiteral("%1").arg(t, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, secs);
}

void ShowDuration(const MediaEngine &engine, QLabel &lblDuration)
{
    const double duration = engine.Duration();
    // A 32-bit count of whole seconds; a length beyond it (never a real file) shows as 0:00:00.
    const double whole = std::trunc(duration);
    const long seconds = whole > 0 && whole < 2147483647.0 ? static_cast<long>(whole) : 0;
    lblDuration.setText(FormatTime(seconds));
}
