#include "model/DateTimeText.h"

#include <cmath>

namespace DateTimeText {
namespace {
const QDate Epoch(1899, 12, 30);
constexpr double MsPerDay = 86400000.0;
}

TDateTime Now()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

TDateTime FromQDateTime(const QDateTime& dt)
{
    const QDateTime local = dt.toLocalTime();
    const double days = double(Epoch.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / MsPerDay;
    // Day counts before the epoch carry the time of day as a positive
    // fraction of a negative whole day count.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime ToQDateTime(TDateTime value)
{
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    qint64 ms = qint64(std::llround(fraction * MsPerDay));
    QDate date = Epoch.addDays(qint64(whole));
    if (ms >= qint64(MsPerDay)) {
        ms -= qint64(MsPerDay);
        date = date.addDays(1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QString Format(TDateTime value)
{
    return ToQDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool Parse(const QString& text, TDateTime& out)
{
    QString iso = text;
    iso.replace(QLatin1Char(' '), QLatin1Char('T'));
    QDateTime dt = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(iso, Qt::ISODate);
    if (!dt.isValid())
        return false;
    out = FromQDateTime(dt);
    return true;
}

QString NowClock()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace DateTimeText
