#include "support/WizardDriver.h"

#include "entry/ShowUpdate.h"
#include "support/ModalDriver.h"
#include "wizard/frmShowInf.h"
#include "wizard/frmUpdateData.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

constexpr int PollMs = 10;
constexpr int GiveUpTries = 500;

// Looks at the check-and-save dialog every few milliseconds until it shows its result.
class CheckResultWatch final : public QObject {
public:
    explicit CheckResultWatch(std::function<void(QWidget *)> action)
        : QObject(qApp)
        , m_action(std::move(action))
    {
        m_timer = startTimer(PollMs);
    }

protected:
    void timerEvent(QTimerEvent *) override
    {
        QWidget *dialog = &checkAndSaveForm();
        auto *sure = dialog->findChild<QPushButton *>(u"cmdSure"_s);
        auto *progress = dialog->findChild<QLabel *>(u"labInf"_s);
        const bool shown =
            dialog->isVisible() && sure && sure->isVisible() && !progress->isVisible();
        if (!shown && --m_triesLeft > 0)
            return;
        killTimer(m_timer);
        deleteLater();
        if (shown) {
            // Its own: an action that waits (QTest::qWait) lets the watch be deleted meanwhile.
            const std::function<void(QWidget *)> action = std::move(m_action);
            action(dialog);
        } else {
            qWarning("whenCheckResultShown: the check-and-save dialog never showed its result");
            dialog->close();
        }
    }

private:
    std::function<void(QWidget *)> m_action;
    int m_timer = 0;
    int m_triesLeft = GiveUpTries;
};

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
    new CheckResultWatch(std::move(action));
}

} // namespace AllocFix::Testing
