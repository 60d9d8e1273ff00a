// What looking for the cards to copy an allocation to costs on a real SQLite account set: one
// GetDept per manual card and one GetExpense per card with the same departments; then what
// showing them in the dialog costs (one GetCardInf per card found). The set has
// ALLOCFIX_BENCH_CARDS cards (default 10000), of which about one in five needs manual work.
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "allocation/AllocationCopy.h"
#include "allocation/ManualStep.h"
#include "contracts/CardServices.h"
#include "desktop/SharedProperties.h"
#include "entry/ComponentUnload.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "services/HostServices.h"
#include "wizard/frmCopyAllocation.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;

class bench_CopyAllocation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void findTheCardsAllocatedAlike();

private:
    QTemporaryDir m_folder;
    ManualStep m_step;
};

void bench_CopyAllocation::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const int cards = qEnvironmentVariableIntValue("ALLOCFIX_BENCH_CARDS");
    const QString location = FixedAssets::createDemoAccountSet(
        u"sqlite:"_s + m_folder.filePath(u"bench.fa"_s), cards > 0 ? cards : 10000);
    FixedAssets::registerHostServices();
    FixedAssets::publishPropsString(u"Language=CHS;AcctSet="_s + location + u';');
    m_step.begin(
        createService<ICardUpdate>(ProgId::CardUpdate)->ReturnExpensInf(MMTS::GetPropsString()));
    QVERIFY(m_step.vecFalterID().count() > 1);
}

void bench_CopyAllocation::cleanupTestCase()
{
    unloadComponent();
    FixedAssets::AccountSet::closeAll();
}

void bench_CopyAllocation::findTheCardsAllocatedAlike()
{
    AllocationCopy copy;
    QBENCHMARK_ONCE
    {
        copy = findAllocationCopy(m_step, 1);
    }
    qInfo("%lld manual cards, %lld alike, %lld unreadable", qlonglong(m_step.vecFalterID().count()),
          qlonglong(copy.targets.size()), qlonglong(copy.unreadable.size()));

    // From the call to the dialog's modal loop: its list is filled by then.
    frmCopyAllocation dialog;
    dialog.setCopy(copy);
    QElapsedTimer shown;
    qint64 showMs = -1;
    QTimer::singleShot(0, &dialog, [&] {
        showMs = shown.elapsed();
        dialog.unloadForm();
    });
    shown.start();
    dialog.showModal();
    QVERIFY(showMs >= 0);
    qInfo("the dialog listing them shows in %lld ms", qlonglong(showMs));
}

QTEST_MAIN(bench_CopyAllocation)
#include "bench_copyallocation.moc"
