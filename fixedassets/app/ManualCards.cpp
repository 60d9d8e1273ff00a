#include "app/ManualCards.h"

#include "accountset/AccountSet.h"
#include "app/Progress.h"
#include "contracts/CardServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
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

CardsToAdjust readCardsToAdjust(const QString &props)
{
    // The same choice of cards as the check's and the adjustment's, without the adjustment.
    const Adjustment::CardsToAdjust found = Adjustment::findCards(AccountSet::fromProps(props));
    const QList<qint32> &ids = found.manual;
    QList<ManualCard> cards;
    cards.reserve(ids.size());
    Progress progress(u"Reading the cards left for manual work"_s, ids.size());
    for (qint32 cardId : ids) {
        const auto cardInfo =
            AllocFix::createService<AllocFix::ICardInfo>(AllocFix::ProgId::CardInfo);
        ManualCard card;
        card.position = static_cast<qint32>(cards.size() + 1);
        card.cardId = cardId;
        const AllocFix::FieldRecord info = cardInfo->GetCardInf(props, cardId);
        card.number = info.value(Fields::FAssetNumber).toText();
        card.name = info.value(Fields::FAssetName).toText();
        card.departments = cardInfo->GetDept(props, cardId);
        card.rows = cardInfo->GetExpense(props, cardId);
        card.fingerprint = fingerprintOf(card.departments, card.rows);
        cards.append(card);
        progress.advance();
    }
    return {cards, found.automatic.size()};
}

} // namespace FixedAssets
