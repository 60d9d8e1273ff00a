// Reads cards as the wizard's visit reads them (GetDept, GetExpense, GetCardInf through the card
// services) in a loop, for the load step of the scale benchmark: one line per visit on stdout.
//
//     bench_cardreads LOCATION STOPFILE [VISITS]
//
// It stops after VISITS visits, or once STOPFILE exists. Lines: "<milliseconds> <CPU
// milliseconds>" for a visit,
// "busy\t<message>" and "error\t<message>" for a failed one, and "mixed\t<card>" for a card whose
// rows were half saved: a card's rows are all legacy rows (department 0) before it is adjusted and
// none after, so a visit that sees both has seen a part of a save.
#include "accountset/AccountSet.h"
#include "contracts/CardServices.h"
#include "desktop/SharedProperties.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "scale/LoadMeasures.h"
#include "services/HostServices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>

#include <cstdio>
#include <ctime>
#include <exception>
#include <random>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {

void say(const QString &line)
{
    std::fputs(qUtf8Printable(line + u'\n'), stdout);
}

QString oneLine(QString text)
{
    return text.replace(u'\n', u' ').replace(u'\t', u' ');
}

// Every card's ID, read once.
QList<qint32> cardIds(const QString &location)
{
    QList<qint32> ids;
    QSqlQuery query = FixedAssets::AccountSet::open(location).exec(u"SELECT alter_id FROM cards"_s);
    while (query.next())
        ids.append(query.value(0).toInt());
    return ids;
}

double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

QList<int> departmentsOf(const RecordList &rows)
{
    QList<int> departments;
    for (qsizetype row = 1; row <= rows.count(); ++row)
        departments.append(rows.at(row).value(Fields::FDeptID).toInt());
    return departments;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: bench_cardreads LOCATION STOPFILE [VISITS]\n", stderr);
        return 2;
    }
    const QString location = arguments.at(1);
    const QString stopFile = arguments.at(2);
    const qint64 visits = arguments.size() > 3 ? arguments.at(3).toLongLong() : 0;
    try {
        FixedAssets::registerHostServices();
        FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
        const QString props = MMTS::GetPropsString();
        const QList<qint32> cards = cardIds(location);
        if (cards.isEmpty())
            throw std::runtime_error("the account set has no cards");
        std::mt19937 random(static_cast<unsigned>(QCoreApplication::applicationPid()));
        std::uniform_int_distribution<qsizetype> pick(0, cards.size() - 1);
        const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
        for (qint64 visit = 0; visits == 0 || visit < visits; ++visit) {
            if (visit % 16 == 0 && QFile::exists(stopFile))
                break;
            qint32 card = cards.at(pick(random));
            QElapsedTimer clock;
            clock.start();
            const double cpuStart = cpuMilliseconds();
            try {
                cardInfo->GetDept(props, card);
                const RecordList rows = cardInfo->GetExpense(props, card);
                cardInfo->GetCardInf(props, card);
                const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                say(Bench::Load::mixesLegacyRows(departmentsOf(rows))
                        ? u"mixed\t%1"_s.arg(card)
                        : u"%1 %2"_s.arg(ms).arg(cpuMilliseconds() - cpuStart));
            } catch (const Failure &failure) {
                const QString text = oneLine(failure.description());
                say((Bench::Load::outcomeOf(1, text) == Bench::Load::Outcome::Busy ? u"busy\t"_s
                                                                                   : u"error\t"_s) +
                    text);
            }
        }
    } catch (const std::exception &failure) {
        say(u"error\t"_s + oneLine(QString::fromLocal8Bit(failure.what())));
    }
    FixedAssets::AccountSet::closeAll();
    return 0;
}
