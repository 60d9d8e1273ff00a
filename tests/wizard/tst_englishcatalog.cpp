#include "entry/ComponentUnload.h"
#include "support/AllocationRecords.h"
#include "support/FakeCardServices.h"
#include "support/FakeDesktop.h"
#include "support/FakeItemService.h"
#include "support/MessageRecorder.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QDir>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

// The English catalogs as the host's resource loader reads them; every key asked for and not
// found is recorded.
class EnglishCatalog {
public:
    explicit EnglishCatalog(FakeDesktop &desktop)
    {
        const QDir folder(u":/catalogs"_s);
        for (const QString &name : folder.entryList({u"ulm_ENG_*.qm"_s})) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(folder.filePath(name)))
                m_catalogs.push_back(std::move(translator));
        }
        desktop.propsString = u"Language=ENG;"_s;
        desktop.translate = [this](const QString &key) { return find("ulm", key); };
        desktop.translateHeader = [this](const QString &key) { return find("ulm.header", key); };
    }

    int catalogs() const { return static_cast<int>(m_catalogs.size()); }
    QStringList missing;

private:
    QString find(const char *context, const QString &key)
    {
        for (const auto &catalog : m_catalogs) {
            const QString found = catalog->translate(context, key.toUtf8().constData());
            if (!found.isEmpty())
                return found;
        }
        missing.append(key);
        return key;
    }

    std::vector<std::unique_ptr<QTranslator>> m_catalogs;
};

} // namespace

class tst_EnglishCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void everyTextOfTheWizardHasAnEnglishEntry();
};

void tst_EnglishCatalog::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_EnglishCatalog::everyTextOfTheWizardHasAnEnglishEntry()
{
    FakeDesktop desktop;
    EnglishCatalog english(desktop);
    QVERIFY(english.catalogs() >= 2);
    FakeItemService itemService;
    itemService.addDepartment(1, u"Office"_s);
    FakeCardServices services;
    for (qint32 id : {101, 102}) {
        FakeCardServices::Card &card = services.addCard(id);
        card.departments = recordList(
            {departmentRecord(1, u"Office"_s, 0.5), departmentRecord(2, u"Workshop"_s, 0.5)});
        card.expenses = recordList({expenseRow(1, 10, 0.5), expenseRow(1, 10, 0.5)});
    }
    services.manualCards = {101, 102};
    services.failing = QStringList{u"CheckDataForUpDate"_s};
    MessageRecorder messages;

    // A failed check, the page-2 texts, both navigation limits, every fault line, and a save.
    runWizard([&](frmUpdateData &wizard) {
        click(&wizard, u"btNext"_s);
        click(&wizard, u"btCheckCard"_s);
    });
    services.failing.clear();
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdPrevious"_s);
        click(&wizard, u"cmdLast"_s);
        click(&wizard, u"cmdLast"_s);
        wizard.vecFalterID().append(wizard.vecFalterID().at(1));
        wizard.dirtVect().setValue(u"3"_s, u"0"_s);
        whenCheckResultShown([](QWidget *dialog) { click(dialog, u"cmdSure"_s); });
        click(&wizard, u"cmdFinish"_s);
    });
    for (qint32 id : {101, 102}) {
        services.cards[id].expenses = recordList({expenseRow(1, 10, 1)});
        services.cards[id].departments = recordList({departmentRecord(1, u"Office"_s, 1)});
    }
    runWizard([&](frmUpdateData &wizard) {
        startAdjustment(wizard);
        click(&wizard, u"cmdNext"_s);
        click(&wizard, u"cmdFinish"_s);
    });

    QCOMPARE(services.callsOf(u"SaveDoubleExpense"_s), 1);
    QCOMPARE(messages.messages().size(), 3);
    english.missing.removeDuplicates();
    QVERIFY2(english.missing.isEmpty(), qPrintable(english.missing.join(u" | "_s)));
}

QTEST_MAIN(tst_EnglishCatalog)
#include "tst_englishcatalog.moc"
