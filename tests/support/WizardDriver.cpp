#include "support/WizardDriver.h"

#include "allocation/frmShowInf.h"
#include "entry/ShowUpdate.h"
#include "support/ModalDriver.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

constexpr int PollMs = 10;
constexpr int GiveUpTries = 500;

void pollForCheckResult(const std::function<void(QWidget *)> &action, int triesLeft)
{
    QWidget *dialog = &checkAndSaveForm();
    auto *sure = dialog->findChild<QPushButton *>(u"cmdSure"_s);
    auto *progress = dialog->findChild<QLabel *>(u"labInf"_s);
    if (dialog->isVisible() && sure && sure->isVisible() && !progress->isVisible()) {
        action(dialog);
        return;
    }
    if (triesLeft == 0) {
        qWarning("whenCheckResultShown: the check-and-save dialog never showed its result");
        dialog->close();
        return;
    }
    QTimer::singleShot(PollMs, qApp,
                       [action, triesLeft] { pollForCheckResult(action, triesLeft - 1); });
}

} // namespace

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

void whenCheckResultShown(std::function<void(QWidget *dialog)> action)
{
    QTimer::singleShot(0, qApp,
                       [action = std::move(action)] { pollForCheckResult(action, GiveUpTries); });
}

} // namespace AllocFix::Testing
