// The check and the automatic adjustment, as the wizard's first page runs them.
#include "accountset/AccountSet.h"
#include "accountset/OutsideText.h"
#include "app/Subcommands.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardUpdateService.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace Qt::StringLiterals;
namespace Fields = AllocFix::Fields;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets::Subcommands {

namespace {

struct Counts {
    qint32 total = 0;
    qint32 manual = 0;
};

Counts checkCards(const QString &props)
{
    const auto cardInfo = AllocFix::createService<AllocFix::ICardInfo>(AllocFix::ProgId::CardInfo);
    const AllocFix::FieldRecord result = cardInfo->CheckDataForUpDate(props);
    return {result.value(Fields::Total).toInt(), result.value(Fields::Manual).toInt()};
}

// The wizard's check report, in the same words.
QString report(const Counts &counts)
{
    return LoadLangString(u"卡片检查结果："_s) + u"\n"_s +
           LoadLangString(u"要进行数据调整的卡片总数是： "_s) + QString::number(counts.total) +
           u"\n"_s + LoadLangString(u"其中可以自动进行数据调整的卡片数量是： "_s) +
           QString::number(counts.total - counts.manual) + u"\n"_s +
           LoadLangString(u"其中要手动进行数据调整的卡片数量是： "_s) +
           QString::number(counts.manual) + u"\n"_s;
}

QJsonObject countsJson(const Counts &counts)
{
    return {{u"total"_s, counts.total},
            {u"automatic"_s, counts.total - counts.manual},
            {u"manual"_s, counts.manual}};
}

void print(const QString &text)
{
    std::fputs(qUtf8Printable(text), stdout);
}

} // namespace

int check(const ProgramOptions &options, const QString &props)
{
    const Counts counts = checkCards(props);
    if (options.format == ProgramOptions::Format::Json)
        printJson(countsJson(counts));
    else
        print(report(counts));
    return ExitSuccess;
}

int adjust(const ProgramOptions &options, const QString &props)
{
    const Counts counts = checkCards(props);
    const qsizetype manual = adjustAccountSet(props);
    // As the wizard: an adjustment that leaves nothing for manual work is complete.
    if (manual == 0)
        AllocFix::createService<AllocFix::ICardUpdate>(AllocFix::ProgId::CardUpdate)
            ->AllocFixDate(props);

    // The cards left are printed as they are read: a group's books leave hundreds of thousands.
    const bool json = options.format == ProgramOptions::Format::Json;
    if (json) {
        // The counts as printJson prints them, the list of cards left one card to a line.
        QByteArray head = QJsonDocument(countsJson(counts)).toJson(QJsonDocument::Indented);
        head.chop(3); // "\n}\n"
        print(QString::fromUtf8(head) + u",\n    \"left\": ["_s);
    } else {
        print(report(counts));
        if (manual == 0) {
            print(u'\n' + LoadLangString(u"调整已完成：没有留待手工调整的卡片。"_s) + u'\n');
        } else {
            print(u'\n' +
                  LoadLangString(
                      u"有 %1 张卡片留待手工调整（allocfix export 会把它们写成工作表）："_s)
                      .arg(manual) +
                  u'\n');
        }
    }
    Adjustment::forEachQueuedCard(
        AccountSet::fromProps(props), [json](const Adjustment::QueuedCard &card) {
            if (json) {
                const QJsonObject object{{u"position"_s, card.position},
                                         {u"FAlterID"_s, card.cardId},
                                         {u"FAssetNumber"_s, card.number},
                                         {u"FAssetName"_s, card.name}};
                print((card.position > 1 ? u",\n        "_s : u"\n        "_s) +
                      QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
            } else {
                print(u"%1  %2  %3\n"_s.arg(card.position, 6)
                          .arg(OutsideText::shown(card.number), OutsideText::shown(card.name)));
            }
        });
    if (json)
        print(u"\n    ]\n}\n"_s);
    return ExitSuccess;
}

} // namespace FixedAssets::Subcommands
