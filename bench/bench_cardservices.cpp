// What the wizard's service calls cost on a real SQLite account set of 500 cards: the card
// services are created anew for every call, so the connection pool decides whether a call opens
// the database; the department name is fetched with the whole department list for every row.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "allocation/AllocationTexts.h"
#include "contracts/CardServices.h"
#include "desktop/SharedProperties.h"
#include "entry/ComponentUnload.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/HostServices.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;

class bench_CardServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void getDeptOnPooledConnection();
    void getDeptOpeningTheAccountSetEachTime();
    void departmentName();
    void checkDataForUpDate();

private:
    QTemporaryDir m_folder;
    QString m_props;
    qint32 m_cardId = 0;
};

void bench_CardServices::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"bench.fa"_s), 500);
    FixedAssets::registerHostServices();
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    m_props = MMTS::GetPropsString();
    const RecordList manual =
        createService<ICardUpdate>(ProgId::CardUpdate)->ReturnExpensInf(m_props);
    QVERIFY(manual.count() > 0);
    m_cardId = manual.at(1).value(Fields::FAlterID).toInt();
}

void bench_CardServices::cleanupTestCase()
{
    unloadComponent();
    FixedAssets::AccountSet::closeAll();
}

void bench_CardServices::getDeptOnPooledConnection()
{
    QBENCHMARK
    {
        createService<ICardInfo>(ProgId::CardInfo)->GetDept(m_props, m_cardId);
    }
}

void bench_CardServices::getDeptOpeningTheAccountSetEachTime()
{
    QBENCHMARK
    {
        FixedAssets::AccountSet::closeAll();
        createService<ICardInfo>(ProgId::CardInfo)->GetDept(m_props, m_cardId);
    }
}

void bench_CardServices::departmentName()
{
    QBENCHMARK
    {
        AllocationTexts::DepartmentName(3);
    }
}

void bench_CardServices::checkDataForUpDate()
{
    QBENCHMARK
    {
        createService<ICardInfo>(ProgId::CardInfo)->CheckDataForUpDate(m_props);
    }
}

QTEST_MAIN(bench_CardServices)
#include "bench_cardservices.moc"
