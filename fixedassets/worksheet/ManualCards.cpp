#include "worksheet/ManualCards.h"

#include "accountset/AccountSet.h"
#include "accountset/Schema.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardBatch.h"
#include "services/RowsJson.h"
#include "worksheet/WorksheetSink.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

QString digest(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

// The set's identity and the card's ID go into the digest whole; the tag before it only tells
// which set to expect.
QString fingerprintOf(const QString &setIdentity, const QString &tag, qint32 cardId,
                      const QString &number, const AllocFix::RecordList &departments,
                      const AllocFix::RecordList &rows)
{
    QString text = u"%1\n%2\n%3\n"_s.arg(setIdentity, QString::number(cardId), number);
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const AllocFix::FieldRecord department = departments.at(d);
        text += u"%1:%2;"_s.arg(department.value(Fields::FItemID).toInt())
                    .arg(department.value(Fields::FRate).toDouble(), 0, 'g', 17);
    }
    text += RowsJson::toJson(rows);
    return checkCodeText(tag, cardId, digest(text).left(16).toULongLong(nullptr, 16));
}

} // namespace

QString checkCodeText(const QString &setTag, qint32 cardId, quint64 digest)
{
    return u"%1-%2-%3"_s.arg(setTag, QString::number(cardId),
                             u"%1"_s.arg(digest, 16, 16, QChar(u'0')));
}

quint64 checkCodeDigest(const QString &code)
{
    return code.section(u'-', 2).toULongLong(nullptr, 16);
}

std::optional<CheckCodeOrigin> checkCodeOrigin(const QString &code)
{
    const QStringList parts = code.split(u'-');
    bool isNumber = false;
    const qint32 cardId = parts.size() == 3 ? parts[1].toInt(&isNumber) : 0;
    if (!isNumber || parts[0].isEmpty())
        return std::nullopt;
    return CheckCodeOrigin{parts[0], cardId};
}

QString setTag(const QString &setIdentity)
{
    return digest(setIdentity).left(8);
}

qsizetype readManualCards(const QString &props, const QString &label, WorksheetSink &sink,
                          const std::function<void(ManualCard &)> &use)
{
    // The same choice of cards as the check's and the adjustment's, without the adjustment.
    const AccountSet set = AccountSet::fromProps(props);
    const Adjustment::CardsToAdjust found = Adjustment::findCards(set);
    const QString identity = Schema::identity(set);
    const QString tag = setTag(identity);
    SinkProgress progress(sink, label, found.manual.size());
    constexpr qsizetype CardsPerStep = 1000;
    for (qsizetype first = 0; first < found.manual.size(); first += CardsPerStep) {
        const QList<qint32> ids = found.manual.mid(first, CardsPerStep);
        const QHash<qint32, CardBatch::Card> read = CardBatch::read(set, ids);
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const auto card = read.constFind(ids[i]);
            if (card == read.cend())
                continue; // gone since it was found
            ManualCard manual{
                static_cast<qint32>(first + i + 1),
                ids[i],
                card->number,
                card->name,
                card->departments,
                card->rows,
                fingerprintOf(identity, tag, ids[i], card->number, card->departments, card->rows)};
            use(manual);
        }
        progress.advance(ids.size());
    }
    return found.automatic.size();
}

} // namespace FixedAssets
