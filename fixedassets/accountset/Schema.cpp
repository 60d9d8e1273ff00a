#include "accountset/Schema.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/AuditChain.h"
#include "contracts/ItemService.h"
#include "host/MMTS.h"

#include <QStringList>
#include <QUuid>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets::Schema {

namespace {

const QString VersionKey = u"SchemaVersion"_s;
const QString IdentityKey = u"SetID"_s;

// Version 1: the account set as the first program made it.
QStringList version1Tables()
{
    return {
        u"CREATE TABLE profile (name TEXT PRIMARY KEY, value TEXT NOT NULL)"_s,
        u"CREATE TABLE item_classes (class_id INTEGER PRIMARY KEY, name TEXT NOT NULL)"_s,
        u"CREATE TABLE items (item_id INTEGER PRIMARY KEY,"
        " class_id INTEGER NOT NULL REFERENCES item_classes (class_id),"
        " number TEXT NOT NULL, name TEXT NOT NULL, detail SMALLINT NOT NULL)"_s,
        u"CREATE TABLE accounts (account_id INTEGER PRIMARY KEY, number TEXT NOT NULL UNIQUE,"
        " name TEXT NOT NULL, detail SMALLINT NOT NULL)"_s,
        u"CREATE TABLE account_item_classes ("
        " account_id INTEGER NOT NULL REFERENCES accounts (account_id), seq INTEGER NOT NULL,"
        " class_id INTEGER NOT NULL REFERENCES item_classes (class_id),"
        " PRIMARY KEY (account_id, seq))"_s,
        u"CREATE TABLE cards (alter_id INTEGER PRIMARY KEY, asset_number TEXT NOT NULL UNIQUE,"
        " asset_name TEXT NOT NULL, entry_date TEXT NOT NULL, category TEXT NOT NULL,"
        " model TEXT NOT NULL, site TEXT NOT NULL, original_value DOUBLE PRECISION NOT NULL,"
        " accumulated_depreciation DOUBLE PRECISION NOT NULL,"
        " useful_life_months INTEGER NOT NULL, depreciation_method TEXT NOT NULL,"
        " status TEXT NOT NULL)"_s,
        u"CREATE TABLE card_departments ("
        " alter_id INTEGER NOT NULL REFERENCES cards (alter_id), seq INTEGER NOT NULL,"
        " dept_id INTEGER NOT NULL REFERENCES items (item_id),"
        " rate DOUBLE PRECISION NOT NULL, PRIMARY KEY (alter_id, seq))"_s,
        // dept_id 0: a legacy row that splits the card's whole expense, before per-department
        // allocation.
        u"CREATE TABLE expense_rows ("
        " alter_id INTEGER NOT NULL REFERENCES cards (alter_id), seq INTEGER NOT NULL,"
        " dept_id INTEGER NOT NULL, account_id INTEGER NOT NULL REFERENCES accounts (account_id),"
        " rate DOUBLE PRECISION NOT NULL, PRIMARY KEY (alter_id, seq))"_s,
        u"CREATE TABLE expense_row_items ("
        " alter_id INTEGER NOT NULL, row_seq INTEGER NOT NULL, seq INTEGER NOT NULL,"
        " class_id INTEGER NOT NULL REFERENCES item_classes (class_id),"
        " item_id INTEGER NOT NULL REFERENCES items (item_id),"
        " PRIMARY KEY (alter_id, row_seq, seq),"
        " FOREIGN KEY (alter_id, row_seq) REFERENCES expense_rows (alter_id, seq)"
        " ON DELETE CASCADE)"_s,
        // Position -> card, as the last ReturnExpensInf answered: how a save maps its keys.
        u"CREATE TABLE manual_queue (seq INTEGER PRIMARY KEY,"
        " alter_id INTEGER NOT NULL REFERENCES cards (alter_id))"_s,
    };
}

// Version 2: the audit log, one entry per card per save.
QStringList version2Tables(const AccountSet &set)
{
    return {
        u"CREATE TABLE audit_log (entry_id "_s + set.driver().dialect().identityColumn() +
            u", save_id INTEGER NOT NULL, saved_at TEXT NOT NULL, user_name TEXT NOT NULL,"
            " alter_id INTEGER NOT NULL, rows_before TEXT NOT NULL, rows_after TEXT NOT NULL)"_s,
    };
}

// Version 3: the rules of an expense row, kept by the database itself. Rows written before are
// kept as they are, even where they break a rule: the rules guard every write from now on, and
// the card services refuse to save such a card until its rows are corrected.
QStringList version3Guards(const AccountSet &set)
{
    return set.driver().dialect().rowGuard(
        u"expense_rows"_s,
        {
            {u"NOT (NEW.rate > 0 AND NEW.rate <= 1)"_s,
             u"an expense row's rate must be above 0 and at most 1"_s},
            {u"NEW.dept_id <> 0 AND NOT EXISTS (SELECT 1 FROM "_s +
                 set.driver().dialect().guardedName(u"items"_s) +
                 u" i WHERE i.item_id = NEW.dept_id AND i.class_id = "_s +
                 QString::number(AllocFix::DepartmentItemClass) + u')',
             u"an expense row's department must be an item of the department class"_s},
        });
}

// Version 4: the account set's identity, so that what was written from one set (a worksheet)
// is not taken for another that happens to hold the same cards. A set keeps the identity it has.
void version4Identity(const AccountSet &set)
{
    if (identity(set).isEmpty())
        set.setProfileValue(IdentityKey, QUuid::createUuid().toString(QUuid::WithoutBraces));
}

void run(const AccountSet &set, const QStringList &statements)
{
    for (const QString &sql : statements)
        set.exec(sql);
}

// Version 4: the audit log becomes a hash chain that takes new entries only. The entries written
// before are chained once, in the order they were written, before the log is closed to changes.
void version4AuditChain(const AccountSet &set)
{
    set.exec(u"ALTER TABLE audit_log ADD COLUMN prev_hash TEXT NOT NULL DEFAULT ''"_s);
    set.exec(u"ALTER TABLE audit_log ADD COLUMN entry_hash TEXT NOT NULL DEFAULT ''"_s);
    AuditChain::chainExisting(set);
    run(set, set.driver().dialect().appendOnly(u"audit_log"_s));
}

// Version 5: the audit log refuses a new entry that would take an existing entry's place, and
// its new entries are hashed over every stored column. The entries written before keep the form
// they were hashed in: a hash is never made again, so the upgrade vouches for nothing.
void version5AuditKeys(const AccountSet &set)
{
    set.exec(u"ALTER TABLE audit_log ADD COLUMN hash_form INTEGER NOT NULL DEFAULT 1"_s);
    run(set, set.driver().dialect().appendOnlyKeys(u"audit_log"_s, u"entry_id"_s));
    // The guards' functions as they are now made, where a database keeps them apart from their
    // triggers.
    QStringList functions = version3Guards(set) + set.driver().dialect().appendOnly(u"audit_log"_s);
    functions.removeIf(
        [](const QString &sql) { return !sql.startsWith(u"CREATE OR REPLACE FUNCTION"_s); });
    run(set, functions);
}

// Version 6: the indexes that let the adjustment's questions read what they concern, not every
// row. A legacy row is a card still to adjust, so its index stays small once the set is adjusted;
// a card's place in the manual queue is looked up by the card on every save and read-ahead.
QStringList version6Indexes()
{
    return {
        // dept_id is in the key so that SQLite reads the legacy rows from the index alone.
        u"CREATE INDEX expense_rows_legacy ON expense_rows (alter_id, dept_id) WHERE dept_id = 0"_s,
        u"CREATE INDEX manual_queue_card ON manual_queue (alter_id)"_s,
    };
}

void applyVersion(const AccountSet &set, int version)
{
    if (version == 1)
        run(set, version1Tables());
    else if (version == 2)
        run(set, version2Tables(set));
    else if (version == 3)
        run(set, version3Guards(set));
    else if (version == 4) {
        version4Identity(set);
        version4AuditChain(set);
    } else if (version == 5) {
        version5AuditKeys(set);
    } else if (version == 6) {
        run(set, version6Indexes());
    }
}

[[noreturn]] void raiseNotAnAccountSet(const AccountSet &set, const QString &why)
{
    throw AllocFix::Failure(
        AccountSetError::NotAnAccountSet,
        LoadLangString(u"%1 不是固定资产账套：%2"_s).arg(set.location().shown(), why),
        AccountSetError::Source);
}

} // namespace

void create(const AccountSet &set, int version)
{
    for (int v = 1; v <= version; ++v)
        applyVersion(set, v);
    set.exec(u"INSERT INTO profile (name, value) VALUES (?, ?)"_s,
             {VersionKey, QString::number(version)});
}

int upgrade(const AccountSet &set)
{
    WriteTransaction transaction(set);
    const int fromVersion = versionOf(set);
    if (fromVersion >= CurrentVersion)
        return fromVersion;
    set.requireRight(AccountSet::Right::Own);
    for (int v = fromVersion + 1; v <= CurrentVersion; ++v)
        applyVersion(set, v);
    set.setProfileValue(VersionKey, QString::number(CurrentVersion));
    transaction.commit();
    return CurrentVersion;
}

int versionOf(const AccountSet &set)
{
    const QStringList tables = set.database().tables();
    if (!tables.contains(u"profile"_s, Qt::CaseInsensitive)) {
        raiseNotAnAccountSet(set, tables.isEmpty() ? LoadLangString(u"数据库是空的"_s)
                                                   : LoadLangString(u"它存有其他的表"_s));
    }
    bool ok = false;
    const int version = set.profileValue(VersionKey).toInt(&ok);
    if (!ok || version < 1)
        raiseNotAnAccountSet(set, LoadLangString(u"它没有记录结构版本"_s));
    return version;
}

QString identity(const AccountSet &set)
{
    return set.profileValue(IdentityKey);
}

QStringList tableNames()
{
    return {u"audit_log"_s,
            u"manual_queue"_s,
            u"expense_row_items"_s,
            u"expense_rows"_s,
            u"card_departments"_s,
            u"cards"_s,
            u"account_item_classes"_s,
            u"accounts"_s,
            u"items"_s,
            u"item_classes"_s,
            u"profile"_s};
}

void drop(const AccountSet &set)
{
    const QStringList tables = set.database().tables();
    // Dependents first, so no foreign key stands in the way.
    const QStringList ours = tableNames();
    for (const QString &table : ours) {
        if (tables.contains(table, Qt::CaseInsensitive))
            set.exec(u"DROP TABLE "_s + table);
    }
    run(set, set.driver().dialect().dropRowGuard(u"expense_rows"_s));
    run(set, set.driver().dialect().dropAppendOnly(u"audit_log"_s));
}

} // namespace FixedAssets::Schema
