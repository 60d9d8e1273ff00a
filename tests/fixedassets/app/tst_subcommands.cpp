#include "ProgramRun.h"
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "support/AccountSetBackends.h"
#include "support/AccountSetDump.h"
#include "support/InjectedFault.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::ProgramRun;

namespace {

// The worksheet's columns, in the order the export writes them.
enum Column {
    AssetNumber = 1,
    Departments = 3,
    Department = 7,
    Account,
    DepartmentItem,
    Project,
    ProductLine,
    Rate,
    CheckCode
};
using Lines = QList<QStringList>; // [0] is the header, line 1 of the file

// 25 demo cards leave five for manual work, each with two legacy rows and two departments.
constexpr int DemoCards = 25;
constexpr int ManualCards = 5;
constexpr int LegacyRowsPerCard = 2;

// The export quotes every field; the test reads it on its own, not with the program's reader.
Lines readWorksheet(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    Lines lines;
    const QStringList rows = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (const QString &row : rows)
        lines.append(
            row.mid(1, row.size() - 2).split(u"\",\""_s).replaceInStrings(u"\"\""_s, u"\""_s));
    return lines;
}

// As a spreadsheet program saves it: quotes only where needed, a blank line and an empty one.
void writeWorksheet(const QString &path, const Lines &lines, QChar separator = u',')
{
    QByteArray content("\xEF\xBB\xBF");
    for (const QStringList &line : lines) {
        QStringList fields;
        for (const QString &field : line) {
            fields.append(field.contains(separator) || field.contains(u'"')
                              ? u'"' + QString(field).replace(u"\""_s, u"\"\""_s) + u'"'
                              : field);
        }
        content += fields.join(separator).toUtf8() + "\r\n";
        if (&line == &lines.first())
            content += "\r\n" + QString(line.size() - 1, separator).toUtf8() + "\r\n";
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The line number in the written file of lines[index]: the blank and the empty line follow the
// header.
qsizetype fileLine(qsizetype index)
{
    return index == 0 ? 1 : index + 3;
}

QString departmentNumber(const AccountSet &set, const QString &name)
{
    return set.scalar(u"SELECT number FROM items WHERE class_id = 2 AND name = ?"_s, {name})
        .toString();
}

// What an accountant fills in: each department of a card gets 6602.01 at 30 % (department item
// taken from the row) and 5101.01 with product line L01 at 70 %. Codes and rates are written in
// the ways people write them. The first row goes on the card's first line, the others are added
// at the end. Answers, per card, the index in lines of each of its rows, and the rows expected.
struct Filled {
    QList<QList<qsizetype>> rowLines;    // [card][row]
    QMap<QString, QStringList> expected; // by asset number
};

Filled fillIn(Lines &lines, const AccountSet &set)
{
    Filled filled;
    QStringList cards;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!cards.contains(lines[i][AssetNumber])) {
            cards.append(lines[i][AssetNumber]);
            filled.rowLines.append(QList<qsizetype>{i});
        }
    }
    for (qsizetype c = 0; c < cards.size(); ++c) {
        const qsizetype first = filled.rowLines[c].first();
        const QStringList departments = lines[first][Departments].split(u"; "_s);
        int row = 0;
        for (const QString &share : departments) {
            const QString name = share.section(u' ', 0, 0);
            const QString id =
                set.scalar(u"SELECT item_id FROM items WHERE name = ?"_s, {name}).toString();
            for (const bool manufacturing : {false, true}) {
                QStringList line = lines[first];
                line[Department] = row % 2 == 0 ? name : departmentNumber(set, name);
                line[Account] = manufacturing ? u"5101.01"_s : u"6602.01"_s;
                line[ProductLine] = manufacturing ? u"L01"_s : QString();
                line[DepartmentItem] =
                    manufacturing && c % 2 == 0 ? departmentNumber(set, name) : QString();
                line[Rate] = manufacturing ? u"70"_s : u"30 %"_s;
                if (row == 0) {
                    lines[first] = line;
                } else {
                    lines.append(line);
                    filled.rowLines[c].append(lines.size() - 1);
                }
                filled.expected[cards[c]].append(manufacturing
                                                     ? u"%1|510101|2:%1,4:401|0.7"_s.arg(id)
                                                     : u"%1|660201|2:%1|0.3"_s.arg(id));
                ++row;
            }
        }
    }
    return filled;
}

// The card's rows as fillIn writes what it expects.
QStringList storedRows(const AccountSet &set, const QString &assetNumber)
{
    const QVariant cardId =
        set.scalar(u"SELECT alter_id FROM cards WHERE asset_number = ?"_s, {assetNumber});
    QStringList rows;
    QSqlQuery query = set.exec(u"SELECT seq, dept_id, account_id, rate FROM expense_rows"
                               " WHERE alter_id = ? ORDER BY seq"_s,
                               {cardId});
    while (query.next()) {
        rows.append(u"%1|%2|%3|"_s.arg(query.value(0).toString(), query.value(1).toString(),
                                       query.value(2).toString()) +
                    QString::number(query.value(3).toDouble()));
    }
    for (QString &row : rows) {
        QStringList items;
        QSqlQuery item = set.exec(u"SELECT class_id, item_id FROM expense_row_items"
                                  " WHERE alter_id = ? AND row_seq = ? ORDER BY seq"_s,
                                  {cardId, row.section(u'|', 0, 0)});
        while (item.next())
            items.append(item.value(0).toString() + u':' + item.value(1).toString());
        const QStringList fields = row.split(u'|');
        row = QStringList{fields[1], fields[2], items.join(u','), fields[3]}.join(u'|');
    }
    return rows;
}

// An asset number as the account set has it: the worksheet marks one that looks like a formula.
QString unmarked(const QString &number)
{
    return number.startsWith(QChar(0x27)) ? number.mid(1) : number;
}

struct Plant {
    int card;
    int row;    // of the card, in the order fillIn makes them
    int column; // -1: empty every column to fill
    QString value;
    int reportedRow; // the row whose line the fault is reported on
    QString says;
};

// A folder on a disk with no room left: a small tmpfs, filled after what is copied into it. Not
// valid where this system cannot mount one (not root, a container without the right).
class FullDisk {
public:
    FullDisk(const QString &folder, const QStringList &filesToCopy)
        : m_folder(folder)
    {
        QDir().mkpath(folder);
        if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4m"_s,
                                           u"tmpfs"_s, folder}) != 0)
            return;
        m_mounted = true;
        for (const QString &file : filesToCopy)
            QFile::copy(file, QDir(folder).filePath(QFileInfo(file).fileName()));
        QFile filler(QDir(folder).filePath(u"filler"_s));
        if (filler.open(QIODevice::WriteOnly)) {
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
    }
    ~FullDisk()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {u"-l"_s, m_folder});
    }
    bool isValid() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

// The lines of stderr that are not progress: the program's messages.
QStringList messagesIn(const QString &err)
{
    QStringList messages = err.split(u'\n', Qt::SkipEmptyParts);
    messages.removeIf([](const QString &line) { return !line.startsWith(u"allocfix"_s); });
    return messages;
}

} // namespace

Q_DECLARE_METATYPE(QList<Plant>)

class tst_Subcommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void worksheetRoundTrip_data();
    void worksheetRoundTrip();
    void faultyWorksheetSavesNothing_data();
    void faultyWorksheetSavesNothing();
    void cardChangedSinceTheExportIsRefused();
    void adjustListsWhatIsLeft();
    void damagedSchemaIsBadInput_data();
    void damagedSchemaIsBadInput();
    void fullDiskIsOneLineAndNotCarriedThrough_data();
    void fullDiskIsOneLineAndNotCarriedThrough();
    void lostConnectionIsOneLine();

private:
    // Without a display: the subcommands need none.
    ProgramRun run(const QStringList &arguments)
    {
        return Testing::runProgram(arguments, m_home->path(), false);
    }
    QString path(const QString &name) const { return m_home->filePath(name); }
    // A demo set exported to worksheet.csv and filled in as filled.csv.
    Filled exportAndFill(const QString &location, Lines &lines,
                         const QStringList &exportOptions = {},
                         const QString &changeBeforeExport = {});

    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_Subcommands::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkdir(u"runtime"_s));
    QFile::setPermissions(path(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_Subcommands::cleanup()
{
    AccountSet::closeAll();
}

Filled tst_Subcommands::exportAndFill(const QString &location, Lines &lines,
                                      const QStringList &exportOptions,
                                      const QString &changeBeforeExport)
{
    createDemoAccountSet(location, DemoCards);
    if (!changeBeforeExport.isEmpty())
        AccountSet::open(location).exec(changeBeforeExport);
    AccountSet::closeAll();
    const ProgramRun exported =
        run(QStringList{u"export"_s, location, u"-o"_s, path(u"worksheet.csv"_s)} + exportOptions);
    if (exported.exitCode != 0)
        qWarning("%s", qPrintable(exported.err));
    lines = readWorksheet(path(u"worksheet.csv"_s));
    if (lines.size() != 1 + ManualCards * LegacyRowsPerCard)
        return {};
    const Filled filled = fillIn(lines, AccountSet::open(location));
    AccountSet::closeAll();
    return filled;
}

void tst_Subcommands::worksheetRoundTrip_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("departmentHeader");
    QTest::addColumn<QChar>("separator"); // as the user's spreadsheet program saves CSV
    QTest::newRow("sqlite, CHS") << u"sqlite"_s << u"CHS"_s << u"分配部门"_s << QChar(u',');
    QTest::newRow("postgresql, ENG")
        << u"postgresql"_s << u"ENG"_s << u"Department"_s << QChar(u';');
}

void tst_Subcommands::worksheetRoundTrip()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(QString, language);
    QFETCH(QString, departmentHeader);
    QFETCH(QChar, separator);
    Lines lines;
    // A text a spreadsheet program would run as a formula stays a text, and is read back.
    const Filled filled = exportAndFill(
        location, lines, {u"-l"_s, language},
        u"UPDATE cards SET asset_number = '=FA00007' WHERE asset_number = 'FA00007'"_s);
    QCOMPARE(filled.expected.size(), ManualCards);
    QCOMPARE(lines.first().at(Department), departmentHeader);
    QCOMPARE(lines.at(1).at(AssetNumber), u"'=FA00007"_s); // first in number order
    writeWorksheet(path(u"filled.csv"_s), lines, separator);

    const ProgramRun checked = run({u"check"_s, location, u"--format"_s, u"json"_s});
    QCOMPARE(checked.exitCode, 0);
    const QJsonObject counts = QJsonDocument::fromJson(checked.out.toUtf8()).object();
    QCOMPARE(counts.value(u"manual"_s).toInt(), ManualCards);
    QCOMPARE(counts.value(u"automatic"_s).toInt(), 15);

    QStringList before = Testing::dumpAccountSet(AccountSet::open(location));
    AccountSet::closeAll();
    const ProgramRun dryRun = run({u"import"_s, location, path(u"filled.csv"_s), u"--dry-run"_s});
    QCOMPARE(dryRun.exitCode, 0);
    QVERIFY2(dryRun.out.contains(u"5 cards, 20 expense rows, no fault; nothing was saved"_s),
             qPrintable(dryRun.out + dryRun.err));
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(location)), before);
    AccountSet::closeAll();

    const ProgramRun imported = run({u"import"_s, location, path(u"filled.csv"_s)});
    QCOMPARE(imported.exitCode, 0);
    QVERIFY2(imported.out.contains(u"Adjusted 15 cards automatically first"_s) &&
                 imported.out.contains(u"saved."_s),
             qPrintable(imported.out + imported.err));

    // Exactly the rows of the file, and an audit entry per card under the import's save.
    const AccountSet set = AccountSet::open(location);
    for (auto card = filled.expected.cbegin(); card != filled.expected.cend(); ++card)
        QCOMPARE(storedRows(set, unmarked(card.key())), card.value());
    QSqlQuery audited = set.exec(
        u"SELECT c.asset_number FROM audit_log a JOIN cards c ON c.alter_id = a.alter_id"
        " WHERE a.save_id = (SELECT max(save_id) FROM audit_log) ORDER BY c.asset_number"_s);
    QStringList auditedCards;
    while (audited.next())
        auditedCards.append(audited.value(0).toString());
    QStringList savedCards;
    for (const QString &card : filled.expected.keys())
        savedCards.append(unmarked(card));
    QCOMPARE(auditedCards, savedCards);
    AccountSet::closeAll();

    const ProgramRun left = run({u"check"_s, location, u"--format"_s, u"json"_s});
    QCOMPARE(QJsonDocument::fromJson(left.out.toUtf8()).object().value(u"total"_s).toInt(), 0);
    const ProgramRun audit = run({u"audit"_s, location, u"-o"_s, path(u"audit.xlsx"_s)});
    QCOMPARE(audit.exitCode, 0);
    QVERIFY2(audit.out.contains(u"Wrote 20 audit entries"_s), qPrintable(audit.out + audit.err));
    const ProgramRun none = run({u"audit"_s, location, u"-o"_s, path(u"audit.csv"_s), u"--since"_s,
                                 QDate::currentDate().addDays(1).toString(Qt::ISODate)});
    QVERIFY2(none.out.contains(u"Wrote 0 audit entries"_s), qPrintable(none.out + none.err));
}

void tst_Subcommands::faultyWorksheetSavesNothing_data()
{
    QTest::addColumn<QList<Plant>>("plants");
    const auto says = [](const char *text) { return QString::fromUtf8(text); };
    QTest::newRow("codes and rates") << QList<Plant>{
        {0, 1, Department, u"质检部"_s, 1, says("质检部 does not use this card")},
        {1, 0, Account, u"9999"_s, 0, says("no detail-level account \"9999\"")},
        {2, 3, ProductLine, QString(), 3, says("account 5101.01 needs a 产品线 item")},
        {2, 2, Project, u"P001"_s, 2, says("account 6602.01 has no 项目 item")},
        {3, 1, ProductLine, u"L"_s, 1, says("产品线 item L is not a detail-level item")},
        {3, 2, Rate, u"0"_s, 2, says("the rate 0 is outside 0.01 to 100")},
        {4, 0, Rate, u"33,3"_s, 0, says("decimal comma")},
        {4, 3, Department, u"后勤部"_s, 3, says("there is no department \"后勤部\"")}};
    QTest::newRow("sums and repeats")
        << QList<Plant>{{0, 1, Rate, u"60"_s, 0, says("make 90%, not 100%")},
                        {1, 0, Rate, u"0.3"_s, 0, says("write 50 for half, not 0.5")},
                        {1, 1, Rate, u"0.7"_s, 0, says("write 50 for half, not 0.5")},
                        {2, 3, Account, u"6602.01"_s, 3, says("repeats line")},
                        {2, 3, ProductLine, QString(), 3, says("repeats line")}};
    QTest::newRow("cards") << QList<Plant>{
        {0, 2, CheckCode, u"0123456789abcdef"_s, 2, says("differs from that of")},
        {1, 3, AssetNumber, u"FA99999"_s, 3, says("FA99999 is no card left for manual work")},
        {2, 1, AssetNumber, QString(), 1, says("the line names no card")},
        {3, 0, -1, {}, 0, says("has no filled line")},
        {3, 1, -1, {}, 0, says("has no filled line")},
        {3, 2, -1, {}, 0, says("has no filled line")},
        {3, 3, -1, {}, 0, says("has no filled line")}};
}

void tst_Subcommands::faultyWorksheetSavesNothing()
{
    QFETCH(QList<Plant>, plants);
    const QString location = u"sqlite:"_s + path(u"set.fa"_s);
    Lines lines;
    const Filled filled = exportAndFill(location, lines);
    QCOMPARE(filled.rowLines.size(), ManualCards);
    for (const Plant &plant : plants) {
        QStringList &line = lines[filled.rowLines[plant.card][plant.row]];
        if (plant.column >= 0)
            line[plant.column] = plant.value;
        for (int column = Department; plant.column < 0 && column <= Rate; ++column)
            line[column].clear();
    }
    writeWorksheet(path(u"filled.csv"_s), lines);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(location));
    AccountSet::closeAll();

    const ProgramRun imported = run({u"import"_s, location, path(u"filled.csv"_s)});
    QCOMPARE(imported.exitCode, 2);
    for (const Plant &plant : plants) {
        const QString where = u"%1:%2: "_s.arg(path(u"filled.csv"_s))
                                  .arg(fileLine(filled.rowLines[plant.card][plant.reportedRow]));
        const QRegularExpression reported(u"(^|\\n)"_s + QRegularExpression::escape(where) +
                                          u"[^\\n]*"_s + QRegularExpression::escape(plant.says));
        QVERIFY2(reported.match(imported.err).hasMatch(),
                 qPrintable(where + plant.says + u"\n---\n"_s + imported.err));
    }
    QVERIFY(imported.err.contains(u"nothing was saved"_s));
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(location)), before);
}

void tst_Subcommands::cardChangedSinceTheExportIsRefused()
{
    const QString location = u"sqlite:"_s + path(u"set.fa"_s);
    Lines lines;
    QCOMPARE(exportAndFill(location, lines).expected.size(), ManualCards);
    writeWorksheet(path(u"filled.csv"_s), lines);
    // Another user changes the second legacy row of the first manual card meanwhile.
    AccountSet::open(location).exec(
        u"UPDATE expense_rows SET rate = 0.5 WHERE seq = 2 AND alter_id ="
        " (SELECT alter_id FROM cards WHERE asset_number = 'FA00002')"_s);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(location));
    AccountSet::closeAll();

    const ProgramRun imported = run({u"import"_s, location, path(u"filled.csv"_s)});
    QCOMPARE(imported.exitCode, 2);
    QVERIFY2(imported.err.contains(u"card FA00002 数控车床 has changed since the export"_s),
             qPrintable(imported.err));
    // That card only: its lines are not read.
    const QStringList reported = imported.err.split(u'\n');
    QCOMPARE(std::count_if(
                 reported.cbegin(), reported.cend(),
                 [this](const QString &line) { return line.startsWith(path(u"filled.csv:"_s)); }),
             1);
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(location)), before);
}

void tst_Subcommands::adjustListsWhatIsLeft()
{
    const QString location = u"sqlite:"_s + path(u"set.fa"_s);
    createDemoAccountSet(location, DemoCards);
    AccountSet::closeAll();
    const ProgramRun adjusted = run({u"adjust"_s, location, u"--format"_s, u"json"_s});
    QCOMPARE(adjusted.exitCode, 0);
    const QJsonObject answer = QJsonDocument::fromJson(adjusted.out.toUtf8()).object();
    QCOMPARE(answer.value(u"automatic"_s).toInt(), 15);
    const QJsonArray left = answer.value(u"left"_s).toArray();
    QCOMPARE(left.size(), ManualCards);
    QCOMPARE(left.at(1).toObject().value(u"FAssetNumber"_s).toString(), u"FA00007"_s);
    QCOMPARE(left.at(1).toObject().value(u"position"_s).toInt(), 2);

    // An export in the way is kept.
    QFile file(path(u"kept.xlsx"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("filled in by hand");
    file.close();
    const ProgramRun refused = run({u"export"_s, location, u"-o"_s, path(u"kept.xlsx"_s)});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains(u"is there already"_s), qPrintable(refused.err));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("filled in by hand"));
}

void tst_Subcommands::damagedSchemaIsBadInput_data()
{
    Testing::addBackendRows();
}

void tst_Subcommands::damagedSchemaIsBadInput()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    createDemoAccountSet(location, DemoCards);
    AccountSet::open(location).exec(u"DROP TABLE card_departments"_s);
    AccountSet::closeAll();
    const ProgramRun checked = run({u"check"_s, location});
    QCOMPARE(checked.exitCode, 2);
    QCOMPARE(messagesIn(checked.err).size(), 1);
    QVERIFY2(checked.err.contains(u"is damaged"_s), qPrintable(checked.err));
}

void tst_Subcommands::fullDiskIsOneLineAndNotCarriedThrough_data()
{
    QTest::addColumn<QStringList>("arguments"); // FULL: the full folder, SET: the account set
    QTest::addColumn<bool>("setOnTheFullDisk");
    QTest::newRow("export .xlsx") << QStringList{u"export"_s, u"SET"_s, u"-o"_s, u"FULL/w.xlsx"_s}
                                  << false;
    QTest::newRow("export .csv") << QStringList{u"export"_s, u"SET"_s, u"-o"_s, u"FULL/w.csv"_s}
                                 << false;
    QTest::newRow("audit .xlsx") << QStringList{u"audit"_s, u"SET"_s, u"-o"_s, u"FULL/a.xlsx"_s}
                                 << false;
    QTest::newRow("open") << QStringList{u"check"_s, u"FULL/set.fa"_s} << true;
}

void tst_Subcommands::fullDiskIsOneLineAndNotCarriedThrough()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, setOnTheFullDisk);
    const QString set = path(u"set.fa"_s);
    createDemoAccountSet(u"sqlite:"_s + set, DemoCards);
    AccountSet::closeAll();
    const FullDisk full(path(u"full"_s), setOnTheFullDisk ? QStringList{set} : QStringList{});
    if (!full.isValid())
        QSKIP("no tmpfs can be mounted here");
    const ProgramRun result = run(arguments.replaceInStrings(u"SET"_s, set)
                                      .replaceInStrings(u"FULL"_s, path(u"full"_s)));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(messagesIn(result.err).size(), 1);
    QVERIFY2(result.err.contains(u"no room left"_s), qPrintable(result.err));
    QVERIFY2(!result.err.contains(u"[ERROR]"_s), qPrintable(result.err));
}

// An administrator ends the server's side of the connection in the middle of the save.
void tst_Subcommands::lostConnectionIsOneLine()
{
    QTemporaryDir folder;
    const std::optional<QString> location = Testing::locationFor(u"postgresql"_s, folder);
    if (!location)
        QSKIP(Testing::PostgresMissing);
    Lines lines;
    QCOMPARE(exportAndFill(*location, lines).expected.size(), ManualCards);
    writeWorksheet(path(u"filled.csv"_s), lines);
    Testing::injectWriteFault(AccountSet::open(*location), 12, Testing::FaultAction::EndConnection);
    AccountSet::closeAll();
    const auto removeFault = qScopeGuard([&location] {
        Testing::removeWriteFault(AccountSet::open(*location));
        AccountSet::closeAll();
    });

    const ProgramRun imported = run({u"import"_s, *location, path(u"filled.csv"_s)});
    QCOMPARE(imported.exitCode, 1);
    const QStringList messages = messagesIn(imported.err);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(u"the connection to the server was lost; nothing was saved"_s),
             qPrintable(imported.err));
    // Nothing of the driver's own: its warnings, a statement it could not free, COPY data.
    for (const QString &chatter : {u"QPSQL"_s, u"Unable to free"_s, u"COPY"_s})
        QVERIFY2(!imported.err.contains(chatter), qPrintable(imported.err));
}

QTEST_GUILESS_MAIN(tst_Subcommands)
#include "tst_subcommands.moc"
