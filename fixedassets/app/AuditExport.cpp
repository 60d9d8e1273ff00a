#include "accountset/AccountSet.h"
#include "accountset/OutsideText.h"
#include "allocation/Rate.h"
#include "app/OutputFile.h"
#include "app/Progress.h"
#include "app/StandardStreams.h"
#include "app/Subcommands.h"
#include "contracts/CardServices.h"
#include "contracts/ItemService.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/AuditLog.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/TableFile.h"
#include "worksheet/Worksheet.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;
using AllocFix::MMTS::LoadLangString;
using AllocFix::MMTS::LoadLangString2;

namespace FixedAssets::Subcommands {

namespace {

// Rows as the audit log keeps them (IDs, see RowsJson::toJson), in words: one row a line,
// "管理部: 6602.01 管理费用-折旧费 /部门-管理部 50%".
QString rowsText(const QString &json, const ReferenceData &reference)
{
    QStringList lines;
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue &value : rows) {
        const QJsonObject row = value.toObject();
        const qint32 departmentId = row.value(u"dept"_s).toInt();
        const qint32 accountId = row.value(u"account"_s).toInt();
        QString line;
        if (departmentId != 0) {
            const CodedEntry *department =
                reference.item(AllocFix::DepartmentItemClass, departmentId);
            line +=
                (department ? department->name : u"#"_s + QString::number(departmentId)) + u": "_s;
        }
        const ReferenceData::Account *account = reference.account(accountId);
        line += account ? QString(account->entry.number + u' ' + account->entry.name)
                        : QString(u"#"_s + QString::number(accountId));
        QString items;
        const QJsonArray pairs = row.value(u"items"_s).toArray();
        for (const QJsonValue &pair : pairs) {
            const qint32 classId = pair.toArray().at(0).toInt();
            const qint32 itemId = pair.toArray().at(1).toInt();
            const CodedEntry *item = reference.item(classId, itemId);
            const auto &classes = reference.itemClasses();
            const auto itemClass = std::find_if(
                classes.cbegin(), classes.cend(),
                [classId](const ReferenceData::ItemClass &c) { return c.id == classId; });
            items += u'/' +
                     (itemClass != classes.cend() ? itemClass->name : QString::number(classId)) +
                     u'-' + (item ? item->name : QString::number(itemId));
        }
        if (!items.isEmpty())
            line += u' ' + items;
        line += u' ' + AllocFix::Rate::roundedText(row.value(u"rate"_s).toDouble()) + u'%';
        lines.append(line);
    }
    return lines.join(u'\n');
}

// What the check found wrong, in one line.
QString chainFault(const AuditChainCheck &check)
{
    const QString entry = QString::number(check.entryId);
    const QString save = QString::number(check.saveId);
    switch (check.fault) {
    case AuditChainCheck::Fault::Edited:
        return LoadLangString(u"第 %1 条记录（保存号 %2）被修改过：它的内容与它的哈希不符"_s)
            .arg(entry, save);
    case AuditChainCheck::Fault::Inserted:
        return LoadLangString(
                   u"第 %1 条记录（保存号 %2）是插入的：它后面的记录接在它前面的记录上"_s)
            .arg(entry, save);
    case AuditChainCheck::Fault::Deleted:
        return LoadLangString(
                   u"第 %1 条记录（保存号 %2）之前的记录被删除了：它所接的记录已不在日志中"_s)
            .arg(entry, save);
    case AuditChainCheck::Fault::Moved:
        return LoadLangString(
                   u"第 %1 条记录（保存号 %2）不在原来的位置（被调换或移动）：它写在第 %3 条之后"_s)
            .arg(entry, save, QString::number(check.otherEntryId));
    case AuditChainCheck::Fault::None:
        break;
    }
    return {};
}

QString faultKind(AuditChainCheck::Fault fault)
{
    switch (fault) {
    case AuditChainCheck::Fault::Edited:
        return u"edited"_s;
    case AuditChainCheck::Fault::Inserted:
        return u"inserted"_s;
    case AuditChainCheck::Fault::Deleted:
        return u"deleted"_s;
    case AuditChainCheck::Fault::Moved:
        return u"moved"_s;
    case AuditChainCheck::Fault::None:
        break;
    }
    return {};
}

QJsonObject chainJson(const AuditChainCheck &check)
{
    const bool intact = check.fault == AuditChainCheck::Fault::None;
    QJsonObject json{{u"entries"_s, check.entries},
                     {u"intact"_s, intact},
                     {u"lastHash"_s, QString::fromLatin1(check.lastHash)},
                     {u"fault"_s, QJsonValue::Null}};
    if (!intact) {
        json.insert(u"fault"_s, QJsonObject{{u"kind"_s, faultKind(check.fault)},
                                            {u"entry"_s, check.entryId},
                                            {u"save"_s, check.saveId},
                                            {u"otherEntry"_s, check.otherEntryId},
                                            {u"message"_s, chainFault(check)}});
    }
    return json;
}

QString localTime(const QString &utc)
{
    const QDateTime time = QDateTime::fromString(utc, Qt::ISODate);
    return time.isValid() ? time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s) : utc;
}

// Writes the table to path (writing at writePath) and answers how many entries it holds.
qsizetype writeAuditTable(const ProgramOptions &options, const QString &props, const QString &path,
                          const QString &writePath)
{
    const std::unique_ptr<TableFile> table = TableFile::create(path, writePath);
    const ReferenceData reference;
    // The user's day, from its first moment, as the log's UTC text compares.
    const QString since = options.since
                              ? QDateTime(*options.since, QTime(0, 0)).toUTC().toString(Qt::ISODate)
                              : QString();
    const QList<AuditRecord> records = readAuditLog(AccountSet::fromProps(props), since);

    table->addSheet(Worksheet::sheetName(u"审计日志"_s),
                    {{LoadLangString2(u"保存号"_s), 8},
                     {LoadLangString2(u"保存时间"_s), 20},
                     {LoadLangString2(u"用户"_s), 12},
                     {LoadLangString2(u"资产编码"_s), 12},
                     {LoadLangString2(u"资产名称"_s), 16},
                     {LoadLangString2(u"调整前"_s), 50},
                     {LoadLangString2(u"调整后"_s), 50}},
                    1);
    QHash<qint32, std::pair<QString, QString>> cards; // number and name
    Progress progress(LoadLangString(u"正在写审计日志"_s), records.size(), options.quiet);
    for (const AuditRecord &record : records) {
        auto card = cards.constFind(record.entry.cardId);
        if (card == cards.cend()) {
            const auto cardInfo =
                AllocFix::createService<AllocFix::ICardInfo>(AllocFix::ProgId::CardInfo);
            qint32 cardId = record.entry.cardId;
            const AllocFix::FieldRecord info = cardInfo->GetCardInf(props, cardId);
            card = cards.insert(cardId, {info.value(Fields::FAssetNumber).toText(),
                                         info.value(Fields::FAssetName).toText()});
        }
        table->addRow({static_cast<double>(record.saveId), localTime(record.savedAt), record.user,
                       card->first, card->second, rowsText(record.entry.rowsBefore, reference),
                       rowsText(record.entry.rowsAfter, reference)});
        progress.advance();
    }
    progress.finish();
    table->finish();
    return records.size();
}

} // namespace

int exportAudit(const ProgramOptions &options, const QString &props)
{
    if (ProgramOptions::isStandardStream(options.output)) {
        OutputFile::checkStandardOutput(AccountSetLocation::fromProps(props));
        const SpooledFile spooled = SpooledFile::forStandardOutput();
        try {
            const qsizetype entries =
                writeAuditTable(options, props, spooled.path(), spooled.path());
            spooled.copyToStandardOutput();
            printLine(stderr, LoadLangString(u"已将 %1 条审计记录写入 %2。"_s)
                                  .arg(entries)
                                  .arg(LoadLangString(u"标准输出"_s)));
        } catch (const AllocFix::Failure &failure) {
            throw spooled.renamed(failure);
        }
        return ExitSuccess;
    }
    OutputFile output(options.output, options.replaceOutput, AccountSetLocation::fromProps(props));
    const qsizetype entries = writeAuditTable(options, props, output.path(), output.partPath());
    output.commit();
    if (options.format == ProgramOptions::Format::Json) {
        printJson(writtenJson(options.output, entries, u"entries"_s));
        return ExitSuccess;
    }
    printLine(stdout, LoadLangString(u"已将 %1 条审计记录写入 %2。"_s)
                          .arg(entries)
                          .arg(OutsideText::shown(options.output)));
    return ExitSuccess;
}

} // namespace FixedAssets::Subcommands

namespace FixedAssets::Subcommands {

int verifyAudit(const ProgramOptions &options, const QString &props)
{
    const AuditChainCheck check = checkAuditChain(AccountSet::fromProps(props));
    if (options.format == ProgramOptions::Format::Json) {
        printJson(chainJson(check));
        return check.fault == AuditChainCheck::Fault::None ? ExitSuccess : ExitNotCarriedThrough;
    }
    if (check.fault != AuditChainCheck::Fault::None) {
        std::printf(
            "%s\n",
            qUtf8Printable(LoadLangString(u"审计日志的哈希链条断了：%1"_s).arg(chainFault(check))));
        return ExitNotCarriedThrough;
    }
    std::printf(
        "%s\n%s\n", qUtf8Printable(LoadLangString(u"%1 条记录，链条完整"_s).arg(check.entries)),
        qUtf8Printable(LoadLangString(u"最后一条的哈希：%1"_s)
                           .arg(check.lastHash.isEmpty() ? LoadLangString(u"（无）"_s)
                                                         : QString::fromLatin1(check.lastHash))));
    return ExitSuccess;
}

} // namespace FixedAssets::Subcommands
