#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "allocation/ManualStep.h"
#include "allocation/Validation.h"
#include "desktop/SharedProperties.h"
#include "entry/ComponentUnload.h"
#include "records/RecordFields.h"
#include "services/HostServices.h"
#include "services/RowsJson.h"
#include "services/SaveChecks.h"
#include "support/CardGenerator.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace FixedAssets;
using AllocFix::Testing::CardGenerator;
namespace Fields = AllocFix::Fields;

class tst_AllocationRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void finishCheckPassesExactlyWhatTheSaveAccepts();

private:
    QTemporaryDir m_folder;
    QString m_location;
};

void tst_AllocationRules::initTestCase()
{
    registerHostServices();
    QVERIFY(m_folder.isValid());
    m_location = createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"set.fa"_s), 12);
    publishPropsString(u"Language=CHS;AcctSet="_s + m_location + u';');
}

void tst_AllocationRules::cleanupTestCase()
{
    unloadComponent();
    AccountSet::closeAll();
    clearSharedProperties();
}

void tst_AllocationRules::finishCheckPassesExactlyWhatTheSaveAccepts()
{
    const AccountSet set = AccountSet::open(m_location);
    QMap<qint32, QList<qint32>> cards;
    QSqlQuery departments =
        set.exec(u"SELECT alter_id, dept_id FROM card_departments ORDER BY alter_id, seq"_s);
    while (departments.next())
        cards[departments.value(0).toInt()].append(departments.value(1).toInt());
    QVERIFY(!cards.isEmpty());
    const SaveChecks checks(set);
    CardGenerator generate(20261208);
    int accepted = 0;
    constexpr int Cards = 600;
    for (int n = 0; n < Cards; ++n) {
        const qint32 cardId = cards.keys().at(n % cards.size());
        const RecordList rows = generate.rows(cardId, cards.value(cardId));

        ManualStep step;
        FieldRecord card = FieldRecord::create();
        card.setValue(Fields::FAlterID, cardId);
        RecordList queue = RecordList::create();
        queue.append(card);
        step.begin(queue);
        step.loadRows(1, rows);
        const ValidationFaults faults = ValidateAllocations(step);

        QString refusal;
        try {
            checks.checkCard(cardId, 1, rows);
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), AccountSetError::SaveRejected);
            refusal = failure.description();
        }
        QVERIFY2(faults.isEmpty() == refusal.isEmpty(),
                 qPrintable(u"card %1 %2: finish check %3; save %4"_s.arg(
                     QString::number(cardId), RowsJson::toJson(rows),
                     faults.isEmpty() ? u"passes"_s : faults.first().text,
                     refusal.isEmpty() ? u"accepts"_s : refusal)));
        accepted += refusal.isEmpty() ? 1 : 0;
    }
    // Both answers are common, or the property says little.
    QVERIFY2(accepted > Cards / 5 && accepted < Cards * 4 / 5,
             qPrintable(QString::number(accepted)));
}

QTEST_MAIN(tst_AllocationRules)
#include "tst_allocationrules.moc"
