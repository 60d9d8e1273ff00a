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

#include <sys/stat.h>

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
            fields.append(field.contains(separator) || field.contains(u'"') || field.contains(u'\n')
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

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

// The lines of stderr that tell a fault of the file or refuse it.
qsizetype linesNaming(const QString &err, const QString &file)
{
    const QStringList lines = err.split(u'\n');
    return std::count_if(lines.cbegin(), lines.cend(),
                         [&file](const QString &line) { return line.contains(file); });
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
        if (QProcess::execute(
                u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4m"_s, u"tmpfs"_s, folder}) != 0)
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
    void failedImportLeavesTheSetAsItWas_data();
    void failedImportLeavesTheSetAsItWas();
    void everyStoredColumnOfTheLogIsHashed_data();
    void everyStoredColumnOfTheLogIsHashed();
    void worksheetOfOtherCardsIsRefused_data();
    void worksheetOfOtherCardsIsRefused();
    void unboundedWorksheetIsRefused_data();
    void unboundedWorksheetIsRefused();
    void faultsAreToldBriefly();
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

void tst_Subcommands::failedImportLeavesTheSetAsItWas_data()
{
    Testing::addBackendRows();
}

// A worksheet filled before any adjustment: the import adjusts first. A write failing anywhere,
// in the adjustment or in the save, leaves every table and the audit log as they were, and says
// nothing of an adjustment; the import then runs whole.
void tst_Subcommands::failedImportLeavesTheSetAsItWas()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    Lines lines;
    QCOMPARE(exportAndFill(location, lines).expected.size(), ManualCards);
    writeWorksheet(path(u"filled.csv"_s), lines);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(location));
    AccountSet::closeAll();

    // Steps of a fifth: a point in the save's writes too, however many the adjustment's.
    for (int failAt = 1;; failAt += std::max(1, failAt / 5)) {
        Testing::injectWriteFault(AccountSet::open(location), failAt);
        AccountSet::closeAll();
        const ProgramRun imported = run({u"import"_s, location, path(u"filled.csv"_s)});
        if (imported.exitCode == 0) {
            QVERIFY2(imported.out.contains(u"Adjusted 15 cards automatically first"_s),
                     qPrintable(imported.out));
            const AccountSet set = AccountSet::open(location);
            QVERIFY(Testing::writesCounted(set) < failAt);
            QCOMPARE(set.scalar(u"SELECT count(*) FROM audit_log"_s).toInt(), 15 + ManualCards);
            break;
        }
        QVERIFY2(failAt < 4096, qPrintable(imported.err));
        QCOMPARE(imported.exitCode, 1);
        QVERIFY2(!imported.out.contains(u"automatically"_s), qPrintable(imported.out));
        const AccountSet set = AccountSet::open(location);
        Testing::removeWriteFault(set);
        QVERIFY2(Testing::dumpAccountSet(set) == before,
                 qPrintable(u"failing at write %1"_s.arg(failAt)));
        AccountSet::closeAll();
    }
}

void tst_Subcommands::everyStoredColumnOfTheLogIsHashed_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("edit"); // of entry %1
    QTest::addColumn<qint64>("entry");
    const auto add = [](const QString &backend, const QString &column, const QString &value,
                        qint64 entry) {
        QTest::addRow("%s, %s = %s", qPrintable(backend), qPrintable(column), qPrintable(value))
            << backend << u"UPDATE audit_log SET %1 = %2 WHERE entry_id = %3"_s.arg(column, value)
            << entry;
    };
    const qint64 Beyond32Bits = qint64{1} << 32;
    for (const QString &backend : Testing::Backends) {
        // The last entry: a new ID keeps the order.
        add(backend, u"entry_id"_s, u"entry_id + %1"_s.arg(Beyond32Bits), 15 + Beyond32Bits);
        add(backend, u"save_id"_s, u"save_id + 1"_s, 5);
        add(backend, u"saved_at"_s, u"saved_at || ' '"_s, 5);
        add(backend, u"user_name"_s, u"'mallory'"_s, 5);
        add(backend, u"alter_id"_s, u"alter_id + 1"_s, 5);
        add(backend, u"rows_before"_s, u"rows_after"_s, 5);
        add(backend, u"rows_after"_s, u"rows_before"_s, 5);
        add(backend, u"hash_form"_s, u"1"_s, 5);
        add(backend, u"entry_hash"_s, u"upper(entry_hash)"_s, 5);
    }
    // SQLite keeps what is written, whatever the column's declared type.
    add(u"sqlite"_s, u"alter_id"_s, u"alter_id + %1"_s.arg(Beyond32Bits), 5);
    add(u"sqlite"_s, u"user_name"_s, u"user_name || X'FF'"_s, 5);
    add(u"sqlite"_s, u"user_name"_s, u"CAST(user_name AS BLOB)"_s, 5);
    add(u"sqlite"_s, u"alter_id"_s, u"'x' || alter_id"_s, 5);
    add(u"sqlite"_s, u"saved_at"_s, u"julianday(saved_at)"_s, 5);
}

// An edit of any column of an entry, the guards set aside, is named by audit --verify.
void tst_Subcommands::everyStoredColumnOfTheLogIsHashed()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(QString, edit);
    QFETCH(qint64, entry);
    createDemoAccountSet(location, DemoCards);
    AccountSet::closeAll();
    QCOMPARE(run({u"adjust"_s, location}).exitCode, 0);
    const ProgramRun intact = run({u"audit"_s, location, u"--verify"_s});
    QVERIFY2(intact.exitCode == 0 && intact.out.contains(u"15 entries"_s),
             qPrintable(intact.out + intact.err));

    const AccountSet set = AccountSet::open(location);
    // As the owner on PostgreSQL, whom the guard lets through.
    if (set.driver().kind() == AccountSetLocation::Kind::SQLite)
        set.exec(u"DROP TRIGGER audit_log_append_only_update"_s);
    set.exec(edit.arg(entry > 15 ? 15 : entry));
    AccountSet::closeAll();
    const ProgramRun verified = run({u"audit"_s, location, u"--verify"_s});
    QCOMPARE(verified.exitCode, 1);
    QVERIFY2(verified.out.contains(u"entry %1 (save"_s.arg(entry)),
             qPrintable(verified.out + verified.err));
}

void tst_Subcommands::worksheetOfOtherCardsIsRefused_data()
{
    QTest::addColumn<bool>("otherSet");       // else a copy of the set the worksheet came from
    QTest::addColumn<QStringList>("changes"); // to that set, after the export
    QTest::addColumn<QString>("says");        // empty: the worksheet is saved
    QTest::newRow("another set with the same cards")
        << true << QStringList() << u"was exported from another account set"_s;
    QTest::newRow("asset numbers swapped")
        << false
        << QStringList{u"UPDATE cards SET asset_number = 'x' WHERE asset_number = 'FA00002'"_s,
                       u"UPDATE cards SET asset_number = 'FA00002' WHERE asset_number = 'FA00017'"_s,
                       u"UPDATE cards SET asset_number = 'FA00017' WHERE asset_number = 'x'"_s}
        << u"names another card than this line's check code does"_s;
    QTest::newRow("asset renamed")
        << false
        << QStringList{u"UPDATE cards SET asset_name = '新名称' WHERE asset_number = 'FA00002'"_s}
        << QString();
}

void tst_Subcommands::worksheetOfOtherCardsIsRefused()
{
    QFETCH(bool, otherSet);
    QFETCH(QStringList, changes);
    QFETCH(QString, says);
    Lines lines;
    const Filled filled = exportAndFill(u"sqlite:"_s + path(u"set.fa"_s), lines);
    QCOMPARE(filled.expected.size(), ManualCards);
    writeWorksheet(path(u"filled.csv"_s), lines);
    const QString target = path(u"target.fa"_s);
    if (otherSet)
        createDemoAccountSet(u"sqlite:"_s + target, DemoCards);
    else
        QVERIFY(QFile::copy(path(u"set.fa"_s), target));
    for (const QString &change : std::as_const(changes))
        AccountSet::open(u"sqlite:"_s + target).exec(change);
    AccountSet::closeAll();
    const QByteArray before = fileContent(target);

    const ProgramRun imported =
        run({u"import"_s, target, path(u"filled.csv"_s), u"-l"_s, u"ENG"_s});
    if (says.isEmpty()) {
        QVERIFY2(imported.exitCode == 0 && imported.out.contains(u"saved."_s),
                 qPrintable(imported.out + imported.err));
        return;
    }
    QCOMPARE(imported.exitCode, 2);
    QVERIFY2(imported.err.contains(says), qPrintable(imported.err));
    QCOMPARE(fileContent(target), before);
    if (otherSet) {
        QCOMPARE(linesNaming(imported.err, path(u"filled.csv"_s)), 1);
        return;
    }
    // Every filled line of the two cards, each where it stands.
    for (qsizetype c = 0; c < filled.rowLines.size(); ++c) {
        const QString number = lines[filled.rowLines[c].first()][AssetNumber];
        for (const qsizetype index : filled.rowLines[c]) {
            const QString where = u"%1:%2: "_s.arg(path(u"filled.csv"_s)).arg(fileLine(index));
            QCOMPARE(imported.err.contains(where + u"the asset number "_s + number),
                     number == u"FA00002"_s || number == u"FA00017"_s);
        }
    }
}

void tst_Subcommands::unboundedWorksheetIsRefused_data()
{
    QTest::addColumn<QString>("worksheet"); // a path, or what makeWorksheet writes
    QTest::addColumn<QString>("says");
    const QString notRegular = u"is not a regular file"_s;
    QTest::newRow("endless device") << u"/dev/zero"_s << notRegular;
    QTest::newRow("fifo") << u"fifo"_s << notRegular;
    QTest::newRow("folder") << u"folder"_s << notRegular;
    QTest::newRow("over 1024 MB") << u"1 GB and a byte"_s
                                  << u"the worksheet has 1025 MB; the import reads a worksheet "
                                     "of at most 1024 MB"_s;
    QTest::newRow("over 5,000,000 lines")
        << u"lines"_s << u"the worksheet has more than 5000000 lines"_s;
    QTest::newRow("line over 256 KB")
        << u"long line"_s << u"filled.csv:2: the line is longer than 256 KB"_s;
    QTest::newRow("cell over 32 KB")
        << u"long cell"_s << u"filled.csv:2: a cell is longer than 32 KB"_s;
    QTest::newRow("quote left open")
        << u"open quote"_s << u"filled.csv:2: a cell is longer than 32 KB"_s;
}

void tst_Subcommands::unboundedWorksheetIsRefused()
{
    QFETCH(QString, worksheet);
    QFETCH(QString, says);
    Lines lines;
    QCOMPARE(exportAndFill(u"sqlite:"_s + path(u"set.fa"_s), lines).expected.size(), ManualCards);
    const QString file = path(u"filled.csv"_s);
    const QByteArray header = lines.first().join(u',').toUtf8() + '\n';
    QFile out(file);
    if (worksheet == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else if (worksheet == u"folder")
        QVERIFY(QDir().mkdir(file));
    else if (!worksheet.startsWith(u'/'))
        QVERIFY(out.open(QIODevice::WriteOnly));
    if (worksheet == u"1 GB and a byte") {
        out.write(header);
        QVERIFY(out.resize((qint64{1} << 30) + 1)); // sparse: no disk is filled
    } else if (worksheet == u"lines") {
        out.write(header + QByteArray(5'000'000, '\n'));
    } else if (worksheet == u"long line") {
        out.write(header + QByteArray(300 * 1024, ',')); // of empty cells
    } else if (worksheet == u"long cell") {
        out.write(header + '"' + QByteArray(40 * 1024, 'x') + "\"\n");
    } else if (worksheet == u"open quote") {
        out.write(header + '"' + QByteArray(100'000, '\n'));
    }
    out.close();
    const QByteArray before = fileContent(path(u"set.fa"_s));

    const ProgramRun imported =
        run({u"import"_s, path(u"set.fa"_s), worksheet.startsWith(u'/') ? worksheet : file, u"-l"_s,
             u"ENG"_s});
    QCOMPARE(imported.exitCode, 2);
    QVERIFY2(imported.err.contains(says), qPrintable(imported.err.left(2000)));
    QCOMPARE(linesNaming(imported.err, worksheet.startsWith(u'/') ? worksheet : file), 1);
    QCOMPARE(fileContent(path(u"set.fa"_s)), before);
}

void tst_Subcommands::faultsAreToldBriefly()
{
    const QString location = u"sqlite:"_s + path(u"set.fa"_s);
    Lines lines;
    QCOMPARE(exportAndFill(location, lines).expected.size(), ManualCards);
    lines = readWorksheet(path(u"worksheet.csv"_s)); // as exported, nothing filled
    // 250 lines of the first card name a department no one could read whole.
    const QString hostile = u"部门\0\n\x1b[31m"_s + QString(100, u'长');
    QStringList line = lines[1];
    line[Department] = hostile;
    for (int i = 0; i < 250; ++i)
        lines.append(line);
    writeWorksheet(path(u"filled.csv"_s), lines);
    const QByteArray before = fileContent(path(u"set.fa"_s));

    const ProgramRun imported =
        run({u"import"_s, location, path(u"filled.csv"_s), u"-l"_s, u"ENG"_s});
    QCOMPARE(imported.exitCode, 2);
    // 250 lines and the four cards left without one.
    const qsizetype faults = 250 + ManualCards - 1;
    QVERIFY2(imported.err.contains(
                 u"and %1 more faults\nallocfix: %2 faults in"_s.arg(faults - 200).arg(faults)),
             qPrintable(imported.err.right(500)));
    QList<qsizetype> told;
    const QRegularExpression fault(u"filled\\.csv:(\\d+): "_s);
    for (auto match = fault.globalMatch(imported.err); match.hasNext();)
        told.append(match.next().captured(1).toLongLong());
    QCOMPARE(told.size(), 200);
    QVERIFY(std::is_sorted(told.cbegin(), told.cend()));
    // The cell shown short, and nothing in it that a terminal acts on.
    const QRegularExpression quoted(
        u"no department \"(部门\\\\0\\\\n\\\\u\\{001b\\}\\[31m长+)…\""_s);
    const QRegularExpressionMatch match = quoted.match(imported.err);
    QVERIFY2(match.hasMatch(), qPrintable(imported.err.left(1000)));
    QVERIFY(match.captured(1).size() <= 60);
    QVERIFY(!imported.err.contains(QChar(u'\0')) && !imported.err.contains(QChar(0x1b)));
    QCOMPARE(fileContent(path(u"set.fa"_s)), before);
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
    const ProgramRun result =
        run(arguments.replaceInStrings(u"SET"_s, set).replaceInStrings(u"FULL"_s, path(u"full"_s)));
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
    QVERIFY2(
        messages.first().contains(u"the connection to the server was lost; nothing was saved"_s),
        qPrintable(imported.err));
    // Nothing of the driver's own: its warnings, a statement it could not free, COPY data.
    for (const QString &chatter : {u"QPSQL"_s, u"Unable to free"_s, u"COPY"_s})
        QVERIFY2(!imported.err.contains(chatter), qPrintable(imported.err));
}

QTEST_GUILESS_MAIN(tst_Subcommands)
#include "tst_subcommands.moc"
