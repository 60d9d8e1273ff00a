#include "scale/LoadMeasures.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace Bench::Load {

Outcome outcomeOf(int exitCode, const QString &errors)
{
    if (exitCode == 0)
        return Outcome::Done;
    // The readers run in Chinese. A busy account set ends the run with exit 1 (not carried
    // through, may go through when tried again) and says so in these words.
    if (exitCode == 1 && errors.contains(u"另一个用户正在修改账套"_s))
        return Outcome::Busy;
    return Outcome::Failed;
}

CheckCounts countsOf(const QByteArray &json)
{
    const QJsonObject counts = QJsonDocument::fromJson(json).object();
    if (!counts.contains(u"total"_s) || !counts.contains(u"manual"_s))
        return {};
    return {counts.value(u"total"_s).toInt(-1), counts.value(u"manual"_s).toInt(-1)};
}

bool countsAddUp(const QList<CheckCounts> &committed, const CheckCounts &seen)
{
    return seen.total >= 0 && committed.contains(seen);
}

bool mixesLegacyRows(const QList<int> &rowDepartments)
{
    return rowDepartments.contains(0) &&
           std::any_of(rowDepartments.cbegin(), rowDepartments.cend(),
                       [](int department) { return department != 0; });
}

Percentiles percentilesOf(std::vector<double> milliseconds)
{
    if (milliseconds.empty())
        return {};
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto rank = [&milliseconds](double share) {
        const auto index = static_cast<size_t>(
            std::max(0.0, std::ceil(share * static_cast<double>(milliseconds.size())) - 1));
        return milliseconds[std::min(index, milliseconds.size() - 1)];
    };
    return {rank(0.5), rank(0.95), rank(0.99)};
}

bool withinTarget(double underLoad, double alone, double limit)
{
    return alone > 0 && underLoad <= limit * alone;
}

} // namespace Bench::Load
