#include "services/ManualQueueSave.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"
#include "services/RowsJson.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// Enough cards that a batch's statements pay off, few enough that their rows stay small.
constexpr qsizetype BatchCards = 1000;

QList<ManualQueueSave::Queued> manualQueue(const AccountSet &set)
{
    QList<ManualQueueSave::Queued> queue;
    QSqlQuery query = set.exec(u"SELECT seq, alter_id FROM manual_queue ORDER BY seq"_s);
    while (query.next())
        queue.append({query.value(0).toInt(), query.value(1).toInt()});
    queue.squeeze(); // kept for the whole save
    return queue;
}

} // namespace

void ManualQueueSave::reject(const QString &reason)
{
    throw AllocFix::Failure(AccountSetError::SaveRejected,
                            LoadLangString(u"没有保存任何内容：%1"_s).arg(reason),
                            AccountSetError::Source);
}

ManualQueueSave::ManualQueueSave(const AccountSet &set)
    : m_set(set)
    , m_queue(manualQueue(set))
{
    if (m_queue.isEmpty())
        reject(LoadLangString(u"没有等待手工调整的卡片；请重新检查卡片"_s));
    // Read after the queue: the checks read the reference data of the queued cards.
    m_checks.emplace(set);
    m_batch.reserve(BatchCards);
    m_given.resize(m_queue.size());
}

qint32 ManualQueueSave::positionOf(const QString &key) const
{
    static const QRegularExpression position(uR"(^[1-9][0-9]{0,8}$)"_s);
    const qint32 seq = position.match(key).hasMatch() ? key.toInt() : 0;
    if (indexOf(seq) < 0) {
        reject(LoadLangString(u"“%1”不是等待手工调整的卡片的序号（1 到 %2）"_s)
                   .arg(key, QString::number(m_queue.size())));
    }
    return seq;
}

qsizetype ManualQueueSave::indexOf(qint32 position) const
{
    const auto found =
        std::lower_bound(m_queue.cbegin(), m_queue.cend(), position,
                         [](const Queued &queued, qint32 seq) { return queued.position < seq; });
    return found != m_queue.cend() && found->position == position ? found - m_queue.cbegin() : -1;
}

qint32 ManualQueueSave::cardAt(qint32 position) const
{
    const qsizetype index = indexOf(position);
    return index < 0 ? 0 : m_queue.at(index).cardId;
}

void ManualQueueSave::add(qint32 position, const AllocFix::RecordList &rows)
{
    const qsizetype index = indexOf(position);
    if (index < 0) {
        reject(LoadLangString(u"“%1”不是等待手工调整的卡片的序号（1 到 %2）"_s)
                   .arg(QString::number(position), QString::number(m_queue.size())));
    }
    const qint32 cardId = m_queue.at(index).cardId;
    // A card written twice in one save would leave its first rows in the audit as "before".
    if (m_given.testBit(index))
        reject(LoadLangString(u"序号 %1 给了两次"_s).arg(position));
    m_checks->checkCard(cardId, position, rows);
    m_batch.append({cardId, CardRecordBuilders::rowIds(rows)});
    m_given.setBit(index);
    if (m_batch.size() >= BatchCards)
        writeBatch();
}

void ManualQueueSave::writeBatch()
{
    if (m_batch.isEmpty())
        return;
    QList<qint32> cards;
    cards.reserve(m_batch.size());
    for (const CardWriter::CardRows &card : std::as_const(m_batch))
        cards.append(card.cardId);
    const CardReads::StoredRows before = CardReads::storedRows(m_set, cards);
    CardWriter::replaceExpenseRows(m_set, cards, before, m_batch);
    if (!m_audit)
        m_audit.emplace(m_set);
    for (const CardWriter::CardRows &card : std::as_const(m_batch))
        m_audit->append({card.cardId, RowsJson::toJson(before.cards.value(card.cardId)),
                         RowsJson::toJson(card.rows)});
    m_batch.clear();
}

void ManualQueueSave::finish()
{
    for (qsizetype index = 0; index < m_queue.size(); ++index) {
        if (!m_given.testBit(index)) {
            const Queued &missing = m_queue.at(index);
            reject(LoadLangString(u"缺少卡片 %1（序号 %2）；等待手工调整的卡片要一起保存"_s)
                       .arg(CardReads::describeCard(m_set, missing.cardId),
                            QString::number(missing.position)));
        }
    }
    writeBatch();
    if (m_audit)
        m_audit->finish();
    m_set.exec(u"DELETE FROM manual_queue"_s);
}

bool ManualQueueSave::saveChecked(const Checked &checked, const std::function<bool()> &read)
{
    const auto changed = [&checked](const QString &difference) {
        checked.changed(difference);
        reject(difference); // in case changed did not raise
    };
    if (m_queue.size() != checked.count) {
        changed(LoadLangString(u"留待手工调整的卡片是 %1 张而不是 %2 张"_s)
                    .arg(m_queue.size())
                    .arg(checked.count));
    }
    for (const Queued &queued : std::as_const(m_queue)) {
        if (!checked.accepts(queued.cardId, queued.position)) {
            changed(LoadLangString(u"卡片 %1 变成需要手工调整"_s)
                        .arg(CardReads::describeCard(m_set, queued.cardId)));
        }
    }
    if (!read())
        return false;
    finish();
    return true;
}

} // namespace FixedAssets
