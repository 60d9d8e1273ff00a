#include "entry/ComponentUnload.h"
#include "entry/ResultFlag.h"
#include "entry/ShowUpdate.h"
#include "entry/WaitCursor.h"
#include "forms/Hourglass.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"

#include <QCursor>
#include <QGuiApplication>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {
bool hourglassShown()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}
} // namespace

class tst_Entry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { unloadComponent(); }

    void useWizardDefaultsToTrue();
    void resultIsSharedByAllInstances();
    void resultThroughPropertiesByName();
    void nestedWaitCursors();
    void unbalancedEndRaisesErrorOne();
    void waitCursorByProgId();
    void unloadStartsClean();
};

void tst_Entry::useWizardDefaultsToTrue()
{
    ShowUpdate update;
    QVERIFY(update.UseWizard());
    update.setUseWizard(false);
    QVERIFY(!update.UseWizard());
    QVERIFY(ShowUpdate().UseWizard());
}

void tst_Entry::resultIsSharedByAllInstances()
{
    ShowUpdate first;
    ShowUpdate second;
    QCOMPARE(first.UpdateResult(), 0);
    UpdateResultFlag = true;
    QCOMPARE(first.UpdateResult(), -1);
    QCOMPARE(second.UpdateResult(), -1);
}

void tst_Entry::resultThroughPropertiesByName()
{
    const auto update = ObjectRegistry::instance().create(ProgId::ShowUpdate);
    QCOMPARE(update->property("UpdateResult").toInt(), 0);
    QCOMPARE(update->property("UseWizard").toBool(), true);
    QVERIFY(update->setProperty("UseWizard", false));
    QCOMPARE(update->property("UseWizard").toBool(), false);
}

void tst_Entry::nestedWaitCursors()
{
    QVERIFY(!hourglassShown());
    {
        WaitCursor outer;
        QVERIFY(hourglassShown());
        {
            WaitCursor inner;
            QCOMPARE(WaitNesting, 2);
            QVERIFY(hourglassShown());
        }
        QVERIFY(hourglassShown());
    }
    QCOMPARE(WaitNesting, 0);
    QVERIFY(!hourglassShown());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_Entry::unbalancedEndRaisesErrorOne()
{
    try {
        EndWait();
        QFAIL("an unbalanced end must raise");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), 1);
    }
    QCOMPARE(WaitNesting, -1);
    // Back to 0 only: no hourglass for this begin.
    BeginWait();
    QCOMPARE(WaitNesting, 0);
    QVERIFY(!hourglassShown());
    {
        WaitCursor cursor;
        QVERIFY(hourglassShown());
    }
    QVERIFY(!hourglassShown());
}

void tst_Entry::waitCursorByProgId()
{
    {
        const auto cursor = ObjectRegistry::instance().create(ProgId::WaitCursor);
        QVERIFY(hourglassShown());
    }
    QVERIFY(!hourglassShown());
}

void tst_Entry::unloadStartsClean()
{
    UpdateResultFlag = true;
    BeginWait();
    setCurrentError({5, u"pending"_s, {}, {}, 0});
    unloadComponent();
    QCOMPARE(ShowUpdate().UpdateResult(), 0);
    QCOMPARE(WaitNesting, 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(currentError().number, 0);
}

QTEST_MAIN(tst_Entry)
#include "tst_entry.moc"
