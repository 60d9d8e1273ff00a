#include "support/InjectedFault.h"

#include "accountset/AccountSet.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

namespace {

const QStringList WrittenTables{u"expense_rows"_s, u"expense_row_items"_s, u"manual_queue"_s,
                                u"audit_log"_s};
const QStringList SqliteEvents{u"INSERT"_s, u"UPDATE"_s, u"DELETE"_s};

bool isSQLite(const AccountSet &set)
{
    return set.driver().kind() == AccountSetLocation::Kind::SQLite;
}

} // namespace

void injectWriteFault(const AccountSet &set, int failAt, FaultAction action)
{
    removeWriteFault(set); // what a failed test may have left
    set.exec(u"CREATE TABLE fault_counter (writes INTEGER NOT NULL, fail_at INTEGER NOT NULL)"_s);
    set.exec(u"INSERT INTO fault_counter (writes, fail_at) VALUES (0, ?)"_s, {failAt});
    if (isSQLite(set)) {
        // FAIL keeps the count, where ABORT would undo it with the row: only the one row fails,
        // so a writer that ignored the failure would go on and be seen to.
        for (const QString &table : WrittenTables) {
            for (const QString &event : SqliteEvents) {
                set.exec(u"CREATE TRIGGER fault_"_s + table + u'_' + event + u" BEFORE "_s + event +
                         u" ON "_s + table +
                         u" BEGIN UPDATE fault_counter SET writes = writes + 1;"
                         " SELECT RAISE(FAIL, 'injected fault') FROM fault_counter"
                         " WHERE writes = fail_at; END"_s);
            }
        }
        return;
    }
    set.exec(u"CREATE FUNCTION fault_count() RETURNS trigger LANGUAGE plpgsql AS $$"
             " DECLARE counted INTEGER; failing INTEGER; BEGIN"
             " UPDATE fault_counter SET writes = writes + 1 RETURNING writes, fail_at"
             " INTO counted, failing;"
             " IF counted = failing THEN"
             " IF TG_ARGV[0] = 'end' THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF;"
             " RAISE EXCEPTION 'injected fault'; END IF;"
             " IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$"_s);
    const QString argument = action == FaultAction::EndConnection ? u"'end'"_s : u"'raise'"_s;
    for (const QString &table : WrittenTables) {
        set.exec(u"CREATE TRIGGER fault_"_s + table + u" BEFORE INSERT OR UPDATE OR DELETE ON "_s +
                 table + u" FOR EACH ROW EXECUTE FUNCTION fault_count("_s + argument + u')');
    }
}

int writesCounted(const AccountSet &set)
{
    return set.scalar(u"SELECT writes FROM fault_counter"_s).toInt();
}

void removeWriteFault(const AccountSet &set)
{
    if (isSQLite(set)) {
        for (const QString &table : WrittenTables) {
            for (const QString &event : SqliteEvents)
                set.exec(u"DROP TRIGGER IF EXISTS fault_"_s + table + u'_' + event);
        }
    } else {
        set.exec(u"SET client_min_messages = warning"_s); // no notice of what is not there
        set.exec(u"DROP FUNCTION IF EXISTS fault_count() CASCADE"_s);
    }
    set.exec(u"DROP TABLE IF EXISTS fault_counter"_s);
}

} // namespace FixedAssets::Testing
