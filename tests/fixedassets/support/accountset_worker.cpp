// A second user of an account set, in a process of its own, for the tests of several users and of
// crashes. Commands:
//   save LOCATION [together]    saves allocationsForQueue, printing "writing" just before;
//                               "together": prints "ready" once it has them, and saves when
//                               its input ends
//   adjust-and-hold LOCATION MS adjusts every card it can in one write transaction, prints
//                               "holding", and commits when its input ends, or after MS
//                               milliseconds (MS < 0: no limit)
//   open LOCATION               prints "opening", then opens (so upgrades) the account set
//   audit LOCATION N            prints "ready", and when its input ends writes N saves of two
//                               audit entries each, one write transaction per save
// Prints "done" and exits with 0, or prints the failure and exits with 1.
#include "accountset/AccountSet.h"
#include "host/ErrorRecord.h"
#include "services/Adjustment.h"
#include "services/AuditLog.h"
#include "services/CardUpdateService.h"
#include "support/AccountSetBackends.h"
#include "support/DemoOperations.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cstdio>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void waitForEndOfInput(int limitMs)
{
    const QDeadlineTimer deadline(limitMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(limitMs));
    pollfd input{STDIN_FILENO, POLLIN, 0};
    char buffer[256];
    while (!deadline.hasExpired()) {
        const qint64 left = deadline.remainingTime();
        if (poll(&input, 1, left < 0 ? -1 : static_cast<int>(left)) > 0 &&
            read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            return;
        }
    }
}

void save(const QString &location, bool together)
{
    const AllocFix::FieldRecord allocations =
        Testing::allocationsForQueue(AccountSet::open(location));
    if (together) {
        say("ready");
        waitForEndOfInput(-1);
    }
    say("writing");
    CardUpdateService().SaveDoubleExpense(u"AcctSet="_s + location + u';', allocations);
}

void adjustAndHold(const QString &location, int holdMs)
{
    const AccountSet set = AccountSet::open(location);
    if (set.driver().kind() == AccountSetLocation::Kind::SQLite) {
        // A small page cache makes the changes spill into the file before the commit, as a long
        // adjustment's do: the moment a rollback journal shuts every reader out.
        set.exec(u"PRAGMA cache_size = 10"_s);
    }
    WriteTransaction transaction(set);
    Adjustment::run(set);
    say("holding");
    waitForEndOfInput(holdMs);
    transaction.commit();
}

void writeAudit(const QString &location, int saves)
{
    const AccountSet set = AccountSet::open(location);
    say("ready");
    waitForEndOfInput(-1);
    for (int save = 0; save < saves; ++save) {
        WriteTransaction transaction(set);
        writeAuditLog(set, {{save, u"[]"_s, u"[]"_s}, {save, u"[]"_s, u"[]"_s}});
        transaction.commit();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    FixedAssets::Testing::useEnglishTexts();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    try {
        const QString command = arguments.value(0);
        const QString location = arguments.value(1);
        if (command == u"save") {
            save(location, arguments.value(2) == u"together");
        } else if (command == u"adjust-and-hold") {
            adjustAndHold(location, arguments.value(2).toInt());
        } else if (command == u"audit") {
            writeAudit(location, arguments.value(2).toInt());
        } else if (command == u"open") {
            say("opening");
            AccountSet::open(location);
        } else {
            std::fprintf(stderr, "accountset_worker: unknown command \"%s\"\n",
                         qUtf8Printable(command));
            return 2;
        }
    } catch (const AllocFix::Failure &failure) {
        std::printf("%s\n", qUtf8Printable(failure.description()));
        AccountSet::closeAll();
        return 1;
    }
    AccountSet::closeAll();
    say("done");
    return 0;
}
