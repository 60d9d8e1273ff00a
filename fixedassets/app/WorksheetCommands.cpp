// The worksheet's export and import as subcommands: the program checks the file it writes, and
// prints what the worksheet library tells and answers.
#include "accountset/AccountSetLocation.h"
#include "accountset/OutsideText.h"
#include "app/OutputFile.h"
#include "app/PrintingSink.h"
#include "app/Subcommands.h"
#include "host/MMTS.h"
#include "worksheet/WorksheetExport.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/WorksheetImport.h"

#include <QFileInfo>

#include <cstdio>
#include <new>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets::Subcommands {

namespace {

int reportImport(const QString &path, const WorksheetImportResult &result)
{
    const QString file = OutsideText::shown(path);
    using Outcome = WorksheetImportResult::Outcome;
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
    // Checked first, so that a file in the way is told before the long read.
    OutputFile output(options.output, options.replaceOutput, AccountSetLocation::fromProps(props));
    PrintingSink sink(options.output);
    const WorksheetExportResult result =
        FixedAssets::exportWorksheet({props, output.path(), output.partPath()}, sink);
    output.commit();
    printLine(stdout, LoadLangString(u"已将留待手工调整的 %2 张卡片的 %1 行写入 %3。"_s)
                          .arg(result.lines)
                          .arg(result.cards)
                          .arg(OutsideText::shown(options.output)));
    return ExitSuccess;
}

int importWorksheet(const ProgramOptions &options, const QString &props)
{
    PrintingSink sink(options.worksheet);
    try {
        return reportImport(
            options.worksheet,
            FixedAssets::importWorksheet(
                {props, options.worksheet, options.dryRun, options.encoding}, sink));
    } catch (const std::bad_alloc &) {
        // Told as what it is, not as a failure that may go through when tried again.
        const qint64 megabytes = (QFileInfo(options.worksheet).size() + (1 << 20) - 1) >> 20;
        printFailure(LoadLangString(u"%1：工作表太大，无法读取（%2 MB）；没有保存任何内容"_s)
                         .arg(OutsideText::shown(options.worksheet))
                         .arg(megabytes));
        return ExitBadInput;
    }
}

} // namespace FixedAssets::Subcommands
