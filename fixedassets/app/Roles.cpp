#include "accountset/AccountSet.h"
#include "accountset/Schema.h"
#include "app/Subcommands.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QJsonArray>

#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets::Subcommands {

namespace {

QString quotedName(QString name)
{
    return u'"' + name.replace(u'"', u"\"\""_s) + u'"';
}

// The statements that create the three group roles (unless they exist) and bring the account
// set's tables under them. They may run again: each one leaves things as it finds them when they
// are already so. Asks the server who owns the tables now, so that login keeps the set.
QStringList rolesStatements(const AccountSet &set)
{
    const QString owner = set.scalar(u"SELECT tableowner FROM pg_tables"
                                     " WHERE schemaname = current_schema() AND tablename = ?"_s,
                                     {u"profile"_s})
                              .toString();
    const QString database = quotedName(set.scalar(u"SELECT current_database()"_s).toString());
    const QString schema = quotedName(set.scalar(u"SELECT current_schema()"_s).toString());
    const QStringList tables = Schema::tableNames();

    QString create;
    for (const QString &role :
         {u"allocfix_owner"_s, u"allocfix_accountant"_s, u"allocfix_viewer"_s}) {
        create += u" IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN"
                  " CREATE ROLE %1 NOLOGIN; END IF;"_s.arg(role);
    }
    QStringList statements{u"DO $roles$ BEGIN"_s + create + u" END $roles$"_s};
    // The login that owns the tables today keeps owning the set through the owner role.
    if (!owner.isEmpty() && owner != u"allocfix_owner")
        statements.append(u"GRANT allocfix_owner TO "_s + quotedName(owner));
    // The database's and the schema's own owner grants these; an owner of the set who is not
    // may go on, since PUBLIC has them unless an administrator took them away.
    statements.append(
        u"DO $grants$ BEGIN"
        " GRANT CONNECT, TEMPORARY ON DATABASE %1 TO allocfix_accountant;"
        " GRANT CONNECT ON DATABASE %1 TO allocfix_viewer;"
        " GRANT USAGE ON SCHEMA %2 TO allocfix_accountant, allocfix_viewer;"
        " GRANT USAGE, CREATE ON SCHEMA %2 TO allocfix_owner;"
        " EXCEPTION WHEN insufficient_privilege THEN NULL; END $grants$"_s.arg(database, schema));
    for (const QString &table : tables)
        statements.append(u"ALTER TABLE %1 OWNER TO allocfix_owner"_s.arg(table));
    statements << u"ALTER FUNCTION expense_rows_guard() OWNER TO allocfix_owner"_s
               << u"ALTER FUNCTION audit_log_append_only() OWNER TO allocfix_owner"_s
               << u"GRANT SELECT ON %1 TO allocfix_accountant, allocfix_viewer"_s.arg(
                      tables.join(u", "_s))
               // The save and the adjustment: expense rows, the manual queue, new audit entries.
               << u"GRANT INSERT, UPDATE, DELETE ON expense_rows, expense_row_items, manual_queue"
                  " TO allocfix_accountant"_s
               << u"GRANT INSERT ON audit_log TO allocfix_accountant"_s
               // The write lock is a lock on the profile, which needs the right to change it;
               // of its rows the accountant may change only the adjustment's date.
               << u"GRANT INSERT, UPDATE, DELETE ON profile TO allocfix_accountant"_s
               << u"ALTER TABLE profile ENABLE ROW LEVEL SECURITY"_s
               << u"DROP POLICY IF EXISTS profile_read ON profile"_s
               << u"CREATE POLICY profile_read ON profile FOR SELECT USING (true)"_s
               << u"DROP POLICY IF EXISTS profile_adjustment_date ON profile"_s
               << u"CREATE POLICY profile_adjustment_date ON profile TO allocfix_accountant"
                  " USING (name = 'AdjustmentDate') WITH CHECK (name = 'AdjustmentDate')"_s;
    return statements;
}

} // namespace

int roles(const ProgramOptions &options, const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    if (!set.driver().dialect().hasRoles()) {
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            LoadLangString(
                u"角色只用于 PostgreSQL 上的账套；SQLite 账套文件由它的权限（0600）保护"_s),
            u"allocfix"_s);
    }
    if (options.apply)
        set.requireRight(AccountSet::Right::Own);
    const QStringList statements = rolesStatements(set);
    // JSON is printed once it is all true: after the statements ran, with --apply.
    const bool json = options.format == ProgramOptions::Format::Json;
    const auto printJsonAnswer = [&] {
        printJson({{u"accountSet"_s, set.location().shown()},
                   {u"applied"_s, options.apply},
                   {u"statements"_s, QJsonArray::fromStringList(statements)}});
    };
    if (!json) {
        for (const QString &sql : statements)
            std::printf("%s;\n", qUtf8Printable(sql));
    }
    if (!options.apply) {
        if (json)
            printJsonAnswer();
        return ExitSuccess;
    }
    WriteTransaction transaction(set);
    // A grant that an owner who is not the database's owner cannot make is skipped; the server's
    // warning about it is not the program's to print.
    set.exec(u"SET LOCAL client_min_messages = error"_s);
    for (const QString &sql : statements)
        set.exec(sql);
    transaction.commit();
    if (json)
        printJsonAnswer();
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n",
                 qUtf8Printable(
                     LoadLangString(u"已为账套 %1 建立角色 allocfix_owner、allocfix_accountant 和 "
                                    "allocfix_viewer 并授予权限"_s)
                         .arg(set.location().shown())));
    return ExitSuccess;
}

} // namespace FixedAssets::Subcommands
