#include "app/ManualCards.h"

#include "accountset/AccountSet.h"
#include "app/Progress.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardBatch.h"
#include "services/CardRecords.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

QString fingerprintOf(const AllocFix::RecordList &departments, const AllocFix::RecordList &rows)
{
    QString text;
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const AllocFix::FieldRecord department = departments.at(d);
        text += u"%1:%2;"_s.arg(department.value(Fields::FItemID).toInt())
                    .arg(department.value(Fields::FRate).toDouble(), 0, 'g', 17);
    }
    text += CardRecords::toJson(rows);
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace

qsizetype readManualCards(const QString &props, const QString &label,
                          const std::function<void(ManualCard &)> &use)
{
    // The same choice of cards as the check's and the adjustment's, without the adjustment.
    const AccountSet set = AccountSet::fromProps(props);
    const Adjustment::CardsToAdjust found = Adjustment::findCards(set);
    Progress progress(label, found.manual.size());
    constexpr qsizetype CardsPerStep = 1000;
    for (qsizetype first = 0; first < found.manual.size(); first += CardsPerStep) {
        const QList<qint32> ids = found.manual.mid(first, CardsPerStep);
        const QHash<qint32, CardBatch::Card> read = CardBatch::read(set, ids);
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const auto card = read.constFind(ids[i]);
            if (card == read.cend())
                continue; // gone since it was found
            ManualCard manual{static_cast<qint32>(first + i + 1),
                              ids[i],
                              card->number,
                              card->name,
                              card->departments,
                              card->rows,
                              fingerprintOf(card->departments, card->rows)};
            use(manual);
        }
        progress.advance(ids.size());
    }
    return found.automatic.size();
}

} // namespace FixedAssets
