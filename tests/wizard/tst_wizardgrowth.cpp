#include "entry/ComponentUnload.h"
#include "forms/Twips.h"
#include "support/FakeDesktop.h"
#include "support/IniSettingsStore.h"
#include "support/WizardDriver.h"
#include "wizard/frmUpdateData.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using namespace AllocFix::Testing;

namespace {

const QSize DesignSize(twips(8010), twips(4875));
const QSize Grown(900, 560);

// Every control's place: on the pages relative to the page, in twips as designed.
QMap<QString, QRect> placesOf(const QWidget *wizard)
{
    QMap<QString, QRect> places;
    for (const QWidget *control : wizard->findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && control->objectName() != u"client"_s)
            places.insert(control->objectName(), control->geometry());
    }
    const auto *list = wizard->findChild<QTreeWidget *>(u"lvExpense"_s);
    for (int column = 0; column < list->columnCount(); ++column)
        places.insert(u"lvExpense column %1"_s.arg(column),
                      QRect(0, 0, list->columnWidth(column), 0));
    return places;
}

QSize sizeShown(const std::function<void(QWidget *wizard)> &steps = {})
{
    QSize shown;
    runWizard([&](frmUpdateData &wizard) {
        shown = wizard.size();
        if (steps)
            steps(&wizard);
    });
    return shown;
}

} // namespace

class tst_WizardGrowth : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void designPlacesAtTheSmallestSize_data();
    void designPlacesAtTheSmallestSize();
    void grownTheListsTakeTheRoom();
    void theSizeIsKeptBetweenShowings_data();
    void theSizeIsKeptBetweenShowings();
};

void tst_WizardGrowth::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_WizardGrowth::designPlacesAtTheSmallestSize_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("place");
    const auto row = [](const QString &name, int left, int top, int width, int height) {
        QTest::newRow(qPrintable(name)) << name << twipsRect(left, top, width, height);
    };
    row(u"fraStep_0"_s, 0, 0, 7995, 4305);
    row(u"Frame1"_s, 135, 4320, 7800, 40);
    row(u"btHelp"_s, 240, 4470, 1095, 375);
    row(u"btPrev"_s, 3720, 4440, 1125, 375);
    row(u"btNext"_s, 4920, 4440, 1125, 375);
    row(u"cmdCancel"_s, 6650, 4440, 1125, 375);
    row(u"btCancel"_s, 6650, 5040, 1125, 375);
    row(u"imgTip"_s, 120, 120, 2160, 4065);
    row(u"lblInfo_2"_s, 2520, 240, 5295, 330);
    row(u"lblHelp_2"_s, 2520, 840, 5295, 1095);
    row(u"Label8"_s, 2520, 2160, 5295, 615);
    row(u"Label7"_s, 2520, 3600, 5295, 495);
    row(u"imgStep"_s, 120, 120, 600, 600);
    row(u"lblInfo_3"_s, 840, 120, 7035, 330);
    row(u"lblHelp_3"_s, 840, 480, 7035, 795);
    row(u"btCheckCard"_s, 840, 1365, 1335, 375);
    row(u"btUpdate"_s, 2295, 1365, 1335, 375);
    row(u"lblProgress"_s, 3750, 1410, 4125, 285);
    row(u"CheckInfo"_s, 840, 1860, 7035, 2325);
    row(u"lblInfo_1"_s, 120, 60, 7755, 330);
    row(u"Label3"_s, 120, 450, 1500, 255);
    row(u"cmdView"_s, 1635, 390, 1125, 330);
    row(u"listInfo"_s, 120, 765, 2640, 855);
    row(u"Label2"_s, 120, 1710, 2640, 255);
    row(u"lvDept"_s, 120, 1995, 2640, 1650);
    row(u"cmdCopy"_s, 6135, 390, 1740, 330);
    row(u"Label1"_s, 2880, 450, 3195, 255);
    row(u"lvExpense"_s, 2880, 765, 4995, 2100);
    row(u"lblRateTotals"_s, 2880, 2880, 4995, 285);
    row(u"cmdAdd"_s, 2880, 3270, 1605, 345);
    row(u"cmdEdit"_s, 4575, 3270, 1605, 345);
    row(u"cmdDelete"_s, 6270, 3270, 1605, 345);
    row(u"lblTotal"_s, 120, 3870, 975, 255);
    row(u"lblCurrent"_s, 1095, 3870, 1320, 255);
    row(u"cmdFirst"_s, 2415, 3795, 1005, 345);
    row(u"cmdPrevious"_s, 3450, 3795, 1005, 345);
    row(u"cmdNext"_s, 4485, 3795, 1005, 345);
    row(u"cmdLast"_s, 5520, 3795, 1005, 345);
    row(u"cmdFinish"_s, 6555, 3795, 1320, 345);
    for (const auto &[column, width] : {std::pair{0, 1020}, {1, 1500}, {2, 1560}, {3, 780}}) {
        const QString name = u"lvExpense column %1"_s.arg(column);
        QTest::newRow(qPrintable(name)) << name << QRect(0, 0, twips(width), 0);
    }
}

// At its smallest the wizard stands as designed, when opened and after it was larger.
void tst_WizardGrowth::designPlacesAtTheSmallestSize()
{
    QFETCH(QString, control);
    QFETCH(QRect, place);
    const FakeDesktop desktop;
    QMap<QString, QRect> opened;
    QMap<QString, QRect> shrunk;
    QSize minimum;
    sizeShown([&](QWidget *wizard) {
        opened = placesOf(wizard);
        minimum = wizard->minimumSize();
        wizard->resize(Grown);
        wizard->resize(QSize(700, 400));
        wizard->resize(DesignSize);
        shrunk = placesOf(wizard);
    });
    QCOMPARE(minimum, DesignSize);
    QCOMPARE(opened.value(control), place);
    QCOMPARE(shrunk.value(control), place);
}

void tst_WizardGrowth::grownTheListsTakeTheRoom()
{
    const FakeDesktop desktop;
    QMap<QString, QRect> design;
    QMap<QString, QRect> grown;
    sizeShown([&](QWidget *wizard) {
        design = placesOf(wizard);
        wizard->resize(Grown);
        grown = placesOf(wizard);
    });
    const int dx = Grown.width() - DesignSize.width();
    const int dy = Grown.height() - DesignSize.height();
    // The lists and the card's information take all the room between them.
    QCOMPARE(grown[u"lvExpense"_s].width() + grown[u"lvDept"_s].width(),
             design[u"lvExpense"_s].width() + design[u"lvDept"_s].width() + dx);
    QCOMPARE(grown[u"listInfo"_s].width(), grown[u"lvDept"_s].width());
    QCOMPARE(grown[u"lvExpense"_s].height(), design[u"lvExpense"_s].height() + dy);
    QVERIFY(grown[u"CheckInfo"_s].height() == design[u"CheckInfo"_s].height() + dy);
    int columns = 0;
    for (int column = 0; column < 4; ++column)
        columns += grown[u"lvExpense column %1"_s.arg(column)].width();
    QVERIFY(columns > design[u"lvExpense"_s].width());
    QCOMPARE(grown[u"lvExpense column 3"_s], design[u"lvExpense column 3"_s]);

    // The buttons keep their size, their order and their gaps, within the window.
    const QList<QStringList> rows{
        {u"btPrev"_s, u"btNext"_s, u"cmdCancel"_s},
        {u"cmdAdd"_s, u"cmdEdit"_s, u"cmdDelete"_s},
        {u"cmdFirst"_s, u"cmdPrevious"_s, u"cmdNext"_s, u"cmdLast"_s, u"cmdFinish"_s}};
    for (const QStringList &row : rows) {
        for (qsizetype index = 0; index < row.size(); ++index) {
            const QRect was = design[row[index]];
            const QRect is = grown[row[index]];
            QCOMPARE(is.size(), was.size());
            QCOMPARE(is.topLeft(), was.topLeft() + QPoint(dx, dy));
        }
    }
    QVERIFY(grown[u"cmdCancel"_s].right() < Grown.width());
    QCOMPARE(grown[u"btHelp"_s].topLeft(), design[u"btHelp"_s].topLeft() + QPoint(0, dy));
}

void tst_WizardGrowth::theSizeIsKeptBetweenShowings_data()
{
    QTest::addColumn<QVariant>("storedWidth");
    QTest::addColumn<QVariant>("storedHeight");
    QTest::addColumn<QSize>("opened");
    QTest::newRow("nothing stored") << QVariant() << QVariant() << DesignSize;
    QTest::newRow("larger") << QVariant(toTwips(700)) << QVariant(toTwips(450)) << QSize(700, 450);
    QTest::newRow("smaller than the design")
        << QVariant(toTwips(300)) << QVariant(toTwips(200)) << DesignSize;
    QTest::newRow("wider only") << QVariant(toTwips(650)) << QVariant(toTwips(100))
                                << QSize(650, DesignSize.height());
    QTest::newRow("damaged") << QVariant(u"wide"_s) << QVariant(-5) << DesignSize;
    QTest::newRow("beyond any screen") << QVariant(1e12) << QVariant(1e12) << DesignSize;
}

void tst_WizardGrowth::theSizeIsKeptBetweenShowings()
{
    QFETCH(QVariant, storedWidth);
    QFETCH(QVariant, storedHeight);
    QFETCH(QSize, opened);
    const FakeDesktop desktop;
    IniSettingsStore settings;
    if (storedWidth.isValid()) {
        settings.store(u"FA"_s, u"UpdateData"_s, u"FormWidth"_s, storedWidth);
        settings.store(u"FA"_s, u"UpdateData"_s, u"FormHeight"_s, storedHeight);
    }
    QCOMPARE(sizeShown(), opened);

    // Left larger, it opens so next time.
    sizeShown([](QWidget *wizard) { wizard->resize(QSize(720, 430)); });
    QCOMPARE(settings.stored(u"FA"_s, u"UpdateData"_s, u"FormWidth"_s).toInt(), toTwips(720));
    QCOMPARE(sizeShown(), QSize(720, 430));
}

QTEST_MAIN(tst_WizardGrowth)
#include "tst_wizardgrowth.moc"
