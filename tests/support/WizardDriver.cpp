#include "support/WizardDriver.h"

#include "entry/ShowUpdate.h"
#include "support/ModalDriver.h"
#include "wizard/frmUpdateData.h"

#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

void runWizard(const std::function<void(frmUpdateData &wizard)> &steps)
{
    whenModalShown([steps](QWidget *modal) {
        auto *wizard = qobject_cast<frmUpdateData *>(modal);
        QVERIFY2(wizard, "the wizard is not the modal window");
        steps(*wizard);
        if (wizard->isVisible())
            wizard->close();
    });
    ShowUpdate().ShowExportFrm();
}

void click(QWidget *wizard, const QString &button)
{
    auto *control = wizard->findChild<QPushButton *>(button);
    QVERIFY2(control, qPrintable(u"no button "_s + button));
    QTest::mouseClick(control, Qt::LeftButton);
}

void startAdjustment(frmUpdateData &wizard)
{
    click(&wizard, u"btNext"_s);
    click(&wizard, u"btUpdate"_s);
}

} // namespace AllocFix::Testing
