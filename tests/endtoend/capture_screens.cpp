// Saves a picture of each window of the wizard, as a user meets it on the demo account set, so
// they can be looked at under each scale factor and the README can show them. It checks nothing,
// so ctest does not run it; scripts/screenshots runs it at 100 %, 150 % and 200 % in both
// languages:
//
//     ALLOCFIX_SHOTS=<folder> ALLOCFIX_SHOTS_LANGUAGE=ENG QT_SCALE_FACTOR=2 capture_screens
//
// Each picture is <folder>/<window>-<zh|en>-<percent>.png.

#include "accountset/DemoData.h"
#include "desktop/SharedProperties.h"
#include "dialogs/DialogRegistration.h"
#include "entry/ComponentUnload.h"
#include "services/HostServices.h"
#include "support/MessageRecorder.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// Clicks the button and runs the action on the modal window it opens, if it opens one; the
// action closes it. Whether a window opened.
bool onOpened(QAbstractButton *button, const std::function<void(QWidget *modal)> &action)
{
    QWidget *owner = QApplication::activeModalWidget();
    bool opened = false;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == owner || !modal->isVisible())
            return;
        watch.stop();
        opened = true;
        action(modal);
    });
    watch.start();
    button->click();
    return opened;
}

template<typename Button = QAbstractButton>
Button *child(QWidget *window, const QString &name)
{
    auto *control = window->findChild<Button *>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

} // namespace

class CaptureScreens : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void everyWindow();

private:
    void save(QWidget *window, const QString &name);

    QTemporaryDir m_folder;
    QString m_shots;
    QString m_language;
};

void CaptureScreens::initTestCase()
{
    m_shots = qEnvironmentVariable("ALLOCFIX_SHOTS");
    if (m_shots.isEmpty())
        QSKIP("ALLOCFIX_SHOTS names no folder for the pictures");
    m_language = qEnvironmentVariable("ALLOCFIX_SHOTS_LANGUAGE", u"CHS"_s);
    QVERIFY(m_folder.isValid());
    // Every window opens at its own default size, not the one a former run left in the settings.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(u"config"_s)));
    FixedAssets::registerHostServices();
    FixedAssets::registerHostDialogs();
}

void CaptureScreens::cleanup()
{
    unloadComponent();
    FixedAssets::clearSharedProperties();
}

void CaptureScreens::save(QWidget *window, const QString &name)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::qWait(100);
    const QPixmap picture = window->grab();
    const QString file =
        u"%1/%2-%3-%4.png"_s.arg(m_shots, name, m_language == u"CHS"_s ? u"zh"_s : u"en"_s,
                                 QString::number(qRound(picture.devicePixelRatio() * 100)));
    QVERIFY2(picture.save(file), qPrintable(file));
}

void CaptureScreens::everyWindow()
{
    const QString location =
        FixedAssets::createDemoAccountSet(u"sqlite:"_s + m_folder.filePath(u"shots.fa"_s), 30);
    FixedAssets::publishPropsString(u"Language=%1;AcctSet=%2;"_s.arg(m_language, location));
    // The copy command of a card without others alike says so in a message box.
    const MessageRecorder messages;
    runWizard([&](frmUpdateData &wizard) {
        save(&wizard, u"intro"_s);
        click(&wizard, u"btNext"_s);
        click(&wizard, u"btCheckCard"_s);
        save(&wizard, u"check-page"_s);
        click(&wizard, u"btUpdate"_s);

        // The card's first row given to its first department in the editor, as a user does, so
        // that the bars show all three states: a department done, one not, rows of none.
        auto *expenses = wizard.findChild<QTreeWidget *>(u"lvExpense"_s);
        expenses->setCurrentItem(expenses->topLevelItem(0));
        QVERIFY(onOpened(child(&wizard, u"cmdEdit"_s), [&](QWidget *editor) {
            QVERIFY(onOpened(child(editor, u"btDept"_s), [&](QWidget *departments) {
                save(departments, u"department"_s);
                child(departments, u"btSure"_s)->click();
            }));
            editor->findChild<QDoubleSpinBox *>(u"fltRate"_s)->setValue(100);
            save(editor, u"editor"_s);
            child(editor, u"btSave"_s)->click();
            editor->close();
        }));
        save(&wizard, u"manual"_s);
        wizard.resize(900, 560);
        save(&wizard, u"manual-grown"_s);

        // The copy dialog, from the first card that has others alike.
        bool copied = false;
        for (qsizetype card = 1; card <= wizard.vecFalterID().count() && !copied; ++card) {
            copied = onOpened(child(&wizard, u"cmdCopy"_s), [&](QWidget *copy) {
                save(copy, u"copy"_s);
                copy->close();
            });
            if (!copied)
                click(&wizard, u"cmdNext"_s);
        }
        QVERIFY(copied);

        // The check-and-save dialog: its progress, caught when the check lets events run, then
        // the faults of the cards left as they are.
        QTimer progress;
        progress.setInterval(0);
        QObject::connect(&progress, &QTimer::timeout, &progress, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *bar = modal ? modal->findChild<QProgressBar *>(u"pbCheck"_s) : nullptr;
            if (bar && bar->isVisible() &&
                !modal->findChild<QWidget *>(u"expInfo"_s)->isVisible()) {
                progress.stop();
                save(modal, u"check-progress"_s);
            }
        });
        progress.start();
        whenCheckResultShown([&](QWidget *results) {
            save(results, u"check"_s);
            results->close();
        });
        click(&wizard, u"cmdFinish"_s);
    });
}

QTEST_MAIN(CaptureScreens)
#include "capture_screens.moc"
