#include "support/InjectedFault.h"

#include "accountset/AccountSet.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

namespace {

const QStringList WrittenTables{u"expense_rows"_s, u"expense_row_items"_s, u"manual_queue"_s,
                                u"audit_log"_s};

bool isSQLite(const AccountSet &set)
{
    return set.driver().kind() == AccountSetLocation::Kind::SQLite;
}

} // namespace

void injectInsertFault(const AccountSet &set, int failAt, FaultAction action)
{
    removeInsertFault(set); // what a failed test may have left
    set.exec(u"CREATE TABLE fault_counter (inserts INTEGER NOT NULL, fail_at INTEGER NOT NULL)"_s);
    set.exec(u"INSERT INTO fault_counter (inserts, fail_at) VALUES (0, ?)"_s, {failAt});
    if (isSQLite(set)) {
        for (const QString &table : WrittenTables) {
            set.exec(u"CREATE TRIGGER fault_"_s + table + u" BEFORE INSERT ON "_s + table +
                     u" BEGIN UPDATE fault_counter SET inserts = inserts + 1;"
                     " SELECT RAISE(ABORT, 'injected fault') FROM fault_counter"
                     " WHERE inserts = fail_at; END"_s);
        }
        return;
    }
    set.exec(u"CREATE FUNCTION fault_count() RETURNS trigger LANGUAGE plpgsql AS $$"
             " DECLARE counted INTEGER; failing INTEGER; BEGIN"
             " UPDATE fault_counter SET inserts = inserts + 1 RETURNING inserts, fail_at"
             " INTO counted, failing;"
             " IF counted = failing THEN"
             " IF TG_ARGV[0] = 'end' THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF;"
             " RAISE EXCEPTION 'injected fault'; END IF;"
             " RETURN NEW; END $$"_s);
    const QString argument = action == FaultAction::EndConnection ? u"'end'"_s : u"'raise'"_s;
    for (const QString &table : WrittenTables) {
        set.exec(u"CREATE TRIGGER fault_"_s + table + u" BEFORE INSERT ON "_s + table +
                 u" FOR EACH ROW EXECUTE FUNCTION fault_count("_s + argument + u')');
    }
}

int insertsCounted(const AccountSet &set)
{
    return set.scalar(u"SELECT inserts FROM fault_counter"_s).toInt();
}

void removeInsertFault(const AccountSet &set)
{
    if (isSQLite(set)) {
        for (const QString &table : WrittenTables)
            set.exec(u"DROP TRIGGER IF EXISTS fault_"_s + table);
    } else {
        set.exec(u"SET client_min_messages = warning"_s); // no notice of what is not there
        set.exec(u"DROP FUNCTION IF EXISTS fault_count() CASCADE"_s);
    }
    set.exec(u"DROP TABLE IF EXISTS fault_counter"_s);
}

} // namespace FixedAssets::Testing
