#include "worksheet/SheetText.h"

#include <QDateTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace FixedAssets {

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

QString dateText(double serial, bool from1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 3'000'000)
        return numberText(serial);
    const auto days = static_cast<qint64>(std::floor(serial));
    const auto seconds =
        static_cast<int>(std::lround((serial - static_cast<double>(days)) * 86400));
    const QDate date = (from1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30)).addDays(days);
    const QTime time = QTime(0, 0).addSecs(seconds);
    if (seconds == 0)
        return date.toString(u"yyyy-MM-dd"_s);
    if (days == 0)
        return time.toString(u"hh:mm:ss"_s);
    return date.toString(u"yyyy-MM-dd"_s) + u' ' + time.toString(u"hh:mm:ss"_s);
}

} // namespace FixedAssets
