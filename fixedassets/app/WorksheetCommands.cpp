// The worksheet's export and import as subcommands: the program checks the file it writes, and
// prints what the worksheet library tells and answers.
#include "accountset/AccountSetLocation.h"
#include "accountset/OutsideText.h"
#include "app/OutputFile.h"
#include "app/PrintingSink.h"
#include "app/StandardStreams.h"
#include "app/Subcommands.h"
#include "host/MMTS.h"
#include "worksheet/CsvFile.h"
#include "worksheet/WorksheetExport.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/WorksheetImport.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cstdio>
#include <new>
#include <optional>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets::Subcommands {

namespace {

using Outcome = WorksheetImportResult::Outcome;

bool isJson(const ProgramOptions &options)
{
    return options.format == ProgramOptions::Format::Json;
}

// The worksheet as the user named it: "-" is standard input.
QString shownWorksheet(const ProgramOptions &options)
{
    return ProgramOptions::isStandardStream(options.worksheet) ? LoadLangString(u"标准输入"_s)
                                                               : options.worksheet;
}

QJsonObject importJson(const QString &file, const WorksheetImportResult &result,
                       const PrintingSink &sink)
{
    QJsonArray faults;
    for (const WorksheetFault &fault : sink.faults()) {
        faults.append(QJsonObject{
            {u"file"_s, file},
            {u"line"_s, fault.line},
            {u"sheet"_s, fault.sheet},
            {u"column"_s, fault.column > 0 ? WorksheetFault::columnName(fault.column) : QString()},
            {u"message"_s, fault.reason}});
    }
    static const QHash<Outcome, QString> outcomes{{Outcome::Faulty, u"faulty"_s},
                                                  {Outcome::Checked, u"checked"_s},
                                                  {Outcome::Saved, u"saved"_s}};
    return {{u"worksheet"_s, file},
            {u"outcome"_s, outcomes.value(result.outcome)},
            {u"cards"_s, result.cards},
            {u"rows"_s, result.rows},
            {u"automatic"_s, result.automatic},
            {u"faultCount"_s, result.faults},
            {u"faults"_s, faults},
            {u"notes"_s, QJsonArray::fromStringList(sink.notes())}};
}

int reportImport(const QString &path, const WorksheetImportResult &result)
{
    const QString file = OutsideText::shown(path);
    if (result.outcome == Outcome::Faulty) {
        if (result.faults > WorksheetFaults::Shown) {
            printLine(
                stderr,
                LoadLangString(u"还有 %1 个错误"_s).arg(result.faults - WorksheetFaults::Shown));
        }
        printFailure(result.faults == 1
                         ? LoadLangString(u"%1 中有 1 处错误；没有保存任何内容"_s).arg(file)
                         : LoadLangString(u"%2 中有 %1 处错误；没有保存任何内容"_s)
                               .arg(result.faults)
                               .arg(file));
        return ExitBadInput;
    }
    const QString checked = LoadLangString(u"%1：%2 张卡片，%3 个费用分配行，没有错误"_s)
                                .arg(file)
                                .arg(result.cards)
                                .arg(result.rows);
    if (result.outcome == Outcome::Saved) {
        printLine(stdout, LoadLangString(u"%1；已保存。"_s).arg(checked));
        return ExitSuccess;
    }
    printLine(stdout, LoadLangString(u"%1；没有保存任何内容（--dry-run）。"_s).arg(checked));
    if (result.automatic > 0)
        printLine(stdout, LoadLangString(u"导入会先自动调整 %1 张卡片。"_s).arg(result.automatic));
    return ExitSuccess;
}

} // namespace

int exportWorksheet(const ProgramOptions &options, const QString &props)
{
    if (ProgramOptions::isStandardStream(options.output)) {
        OutputFile::checkStandardOutput(AccountSetLocation::fromProps(props));
        const SpooledFile spooled = SpooledFile::forStandardOutput();
        PrintingSink sink(options.output, options);
        try {
            const WorksheetExportResult result =
                FixedAssets::exportWorksheet({props, spooled.path(), spooled.path()}, sink);
            spooled.copyToStandardOutput();
            printLine(stderr, LoadLangString(u"已将留待手工调整的 %2 张卡片的 %1 行写入 %3。"_s)
                                  .arg(result.lines)
                                  .arg(result.cards)
                                  .arg(LoadLangString(u"标准输出"_s)));
        } catch (const AllocFix::Failure &failure) {
            throw spooled.renamed(failure);
        }
        return ExitSuccess;
    }
    // Checked first, so that a file in the way is told before the long read.
    OutputFile output(options.output, options.replaceOutput, AccountSetLocation::fromProps(props));
    PrintingSink sink(options.output, options);
    const WorksheetExportResult result =
        FixedAssets::exportWorksheet({props, output.path(), output.partPath()}, sink);
    output.commit();
    if (isJson(options)) {
        QJsonObject json = writtenJson(options.output, result.lines, u"lines"_s);
        json.insert(u"cards"_s, result.cards);
        printJson(json);
        return ExitSuccess;
    }
    printLine(stdout, LoadLangString(u"已将留待手工调整的 %2 张卡片的 %1 行写入 %3。"_s)
                          .arg(result.lines)
                          .arg(result.cards)
                          .arg(OutsideText::shown(options.output)));
    return ExitSuccess;
}

int importWorksheet(const ProgramOptions &options, const QString &props)
{
    // The import reads the worksheet twice: standard input is kept in a private file for that.
    std::optional<SpooledFile> spooled;
    if (ProgramOptions::isStandardStream(options.worksheet))
        spooled.emplace(SpooledFile::fromStandardInput(WorksheetLimits.fileBytes));
    const QString file = spooled ? spooled->path() : options.worksheet;
    const QString shown = shownWorksheet(options);
    PrintingSink sink(shown, options);
    try {
        const WorksheetImportResult result =
            FixedAssets::importWorksheet({props, file, options.dryRun, options.encoding}, sink);
        if (isJson(options)) {
            printJson(importJson(shown, result, sink));
            return result.outcome == Outcome::Faulty ? ExitBadInput : ExitSuccess;
        }
        return reportImport(shown, result);
    } catch (const std::bad_alloc &) {
        // Told as what it is, not as a failure that may go through when tried again.
        const qint64 megabytes = (QFileInfo(file).size() + (1 << 20) - 1) >> 20;
        printFailure(LoadLangString(u"%1：工作表太大，无法读取（%2 MB）；没有保存任何内容"_s)
                         .arg(OutsideText::shown(shown))
                         .arg(megabytes));
        return ExitBadInput;
    } catch (const AllocFix::Failure &failure) {
        if (spooled)
            throw spooled->renamed(failure);
        throw;
    }
}

} // namespace FixedAssets::Subcommands
