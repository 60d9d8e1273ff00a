// The import in-process, through a recording sink: what it answers, the faults it tells, and that
// a worksheet it refuses leaves the account set as it was.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"
#include "worksheet/CsvFile.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/TableFile.h"
#include "worksheet/Worksheet.h"
#include "worksheet/WorksheetExport.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/WorksheetImport.h"
#include "worksheet/WorksheetSink.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using Outcome = WorksheetImportResult::Outcome;

namespace {

class RecordingSink final : public WorksheetSink {
public:
    void startProgress(const QString &, qint64) override {}
    void advanceProgress(qint64) override {}
    void finishProgress() override {}
    void progressLine(const QString &) override
    {
        if (saving)
            saving();
    }
    void fault(const WorksheetFault &fault) override { faults.append(fault); }
    void info(const QString &) override {}

    QList<WorksheetFault> faults;
    std::function<void()> saving; // when the save begins, after the check
};

enum class Planted {
    Nothing,
    UnknownCard,
    OtherAccountSet,
    // Each card's lines of its first department with the card, those of its other departments
    // after the next card's lines: as a spreadsheet sorted by the department might leave them.
    Scattered,
    // The file gains a faulty line after the check read it and before the save reads it again.
    ChangedBeforeSave,
};

// 25 demo cards leave five for manual work.
constexpr qsizetype ManualCards = 5;

// The exported worksheet with one line added per department of each card: 6602.01 at 100 %, its
// department item taken from the department. Answers how many lines were filled in.
qsizetype fillIn(const QString &exported, const QString &filled, Planted planted)
{
    QList<Worksheet::Kind> kinds;
    for (const Worksheet::Column &column : Worksheet::columns(ReferenceData().itemClasses()))
        kinds.append(column.kind);
    const auto at = [&kinds](Worksheet::Kind kind) { return kinds.indexOf(kind); };
    CsvReader reader(exported, WorksheetLimits);
    QList<QStringList> lines{reader.next()->fields};
    QStringList cards;
    qsizetype filledLines = 0;
    qsizetype filledIndex = 0;
    QList<QStringList> apart; // Scattered: the card's lines held until the next card's
    while (const std::optional<CsvRecord> record = reader.next()) {
        QStringList line = record->fields;
        QString &code = line[at(Worksheet::Kind::CheckCode)];
        if (planted == Planted::OtherAccountSet)
            code = u"0a0b0c0d-"_s + code.section(u'-', 1);
        lines.append(line);
        if (cards.contains(line[at(Worksheet::Kind::AssetNumber)]))
            continue;
        cards.append(line[at(Worksheet::Kind::AssetNumber)]);
        const QStringList departments = line[at(Worksheet::Kind::Departments)].split(u"; "_s);
        QList<QStringList> held;
        for (const QString &share : departments) {
            line[at(Worksheet::Kind::Department)] = share.section(u' ', 0, 0);
            line[at(Worksheet::Kind::Account)] = u"6602.01"_s;
            line[at(Worksheet::Kind::Rate)] = u"100"_s;
            filledIndex = lines.size();
            if (planted == Planted::Scattered && share != departments.first())
                held.append(line);
            else
                lines.append(line);
            ++filledLines;
        }
        lines.append(apart);
        apart = held;
    }
    lines.append(apart);
    if (planted == Planted::UnknownCard) {
        QStringList unknown = lines[filledIndex];
        unknown[at(Worksheet::Kind::AssetNumber)] = u"NO-SUCH-CARD"_s;
        lines.append(unknown);
    }
    QList<TableFile::Column> headers;
    for (const QString &header : std::as_const(lines.first()))
        headers.append({header});
    const auto table = TableFile::create(filled, filled);
    table->addSheet(u"filled"_s, headers, 0);
    for (qsizetype i = 1; i < lines.size(); ++i)
        table->addRow(QVariantList(lines[i].cbegin(), lines[i].cend()));
    table->finish();
    return filledLines;
}

} // namespace

Q_DECLARE_METATYPE(Planted)

class tst_WorksheetImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Testing::useEnglishTexts(); }
    void cleanup() { AccountSet::closeAll(); }
    void import_data();
    void import();
};

void tst_WorksheetImport::import_data()
{
    QTest::addColumn<Planted>("planted");
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("filled in") << Planted::Nothing << false << false << Outcome::Saved;
    QTest::newRow("filled in, dry run") << Planted::Nothing << true << false << Outcome::Checked;
    QTest::newRow("a line names no card")
        << Planted::UnknownCard << false << false << Outcome::Faulty;
    // Refused whole: no result, so the outcome is the default one.
    QTest::newRow("lines of a card apart")
        << Planted::Scattered << false << false << Outcome::Saved;
    QTest::newRow("lines of a card apart, dry run")
        << Planted::Scattered << true << false << Outcome::Checked;
    QTest::newRow("a faulty line added before the save")
        << Planted::ChangedBeforeSave << false << false << Outcome::Faulty;
    QTest::newRow("from another account set")
        << Planted::OtherAccountSet << false << true << Outcome::Faulty;
}

void tst_WorksheetImport::import()
{
    QFETCH(Planted, planted);
    QFETCH(bool, dryRun);
    QFETCH(bool, refused);
    QFETCH(Outcome, outcome);
    const QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString props = u"Language=ENG;AcctSet="_s +
                          createDemoAccountSet(u"sqlite:"_s + folder.filePath(u"set.fa"_s), 25) +
                          u';';
    publishPropsString(props);
    const QString exported = folder.filePath(u"exported.csv"_s);
    const QString filled = folder.filePath(u"filled.csv"_s);
    RecordingSink sink;
    exportWorksheet({props, exported, exported}, sink);
    const qsizetype filledLines = fillIn(exported, filled, planted);
    const QStringList before = Testing::dumpAccountSet(AccountSet::fromProps(props));
    if (planted == Planted::ChangedBeforeSave)
        sink.saving = [&] { fillIn(exported, filled, Planted::UnknownCard); };

    WorksheetImportResult result;
    try {
        result = importWorksheet({props, filled, dryRun, {}}, sink);
        QVERIFY(!refused);
    } catch (const AllocFix::Failure &failure) {
        QVERIFY2(refused, qPrintable(failure.description()));
        QCOMPARE(failure.number(), AllocFix::ErrorNumber::InvalidArgument);
    }

    const bool saves = outcome == Outcome::Saved;
    // The automatic adjustment the save began with went with it.
    QCOMPARE(Testing::dumpAccountSet(AccountSet::fromProps(props)) != before, saves);
    QCOMPARE(result.outcome, outcome);
    if (outcome == Outcome::Faulty && !refused) {
        QCOMPARE(result.faults, 1);
        QCOMPARE(sink.faults.size(), 1);
        // The last line: after the header, two exported lines a card and the filled ones.
        QCOMPARE(sink.faults.first().line, ManualCards * 2 + filledLines + 2);
        QVERIFY2(sink.faults.first().reason.contains(u"NO-SUCH-CARD"_s),
                 qPrintable(sink.faults.first().reason));
    } else {
        QVERIFY(sink.faults.isEmpty());
    }
    if (outcome != Outcome::Faulty) {
        QCOMPARE(result.cards, ManualCards);
        QCOMPARE(result.rows, filledLines);
    }
}

QTEST_GUILESS_MAIN(tst_WorksheetImport)
#include "tst_worksheetimport.moc"
