#include "entry/ComponentUnload.h"
#include "forms/Twips.h"
#include "support/IniSettingsStore.h"
#include "widgets/ListViewUtilities.h"
#include "widgets/ReportList.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::IniSettingsStore;

namespace {

const QString Section = u"TestList"_s;

std::unique_ptr<QTreeWidget> listWithTags(const QStringList &tags)
{
    std::unique_ptr<QTreeWidget> list(createReportList(nullptr, u"lv"_s, {u"a"_s}));
    for (const QString &tag : tags) {
        auto *row = new QTreeWidgetItem(list.get(), {tag});
        setRowTag(row, tag);
    }
    return list;
}

// Three columns 60, 70 and 80 pixels wide.
std::unique_ptr<QTreeWidget> threeColumns()
{
    std::unique_ptr<QTreeWidget> list(createReportList(nullptr, u"lv"_s, {u"a"_s, u"b"_s, u"c"_s}));
    for (int column = 0; column < 3; ++column)
        list->header()->resizeSection(column, 60 + 10 * column);
    return list;
}

QList<int> widths(const QTreeWidget &list)
{
    QList<int> result;
    for (int column = 0; column < list.columnCount(); ++column)
        result.append(list.header()->sectionSize(column));
    return result;
}

} // namespace

class tst_ListViewUtilities : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void selectItemByTag_data();
    void selectItemByTag();

    void widthsAreStoredPerColumnInTwips();
    void firstRunKeepsDesignWidths();
    void restore_data();
    void restore();
    void failingEntriesAreSkipped();
    void withoutSettingsStoreNothingHappens();
};

void tst_ListViewUtilities::cleanup()
{
    unloadComponent();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ListViewUtilities::selectItemByTag_data()
{
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("selected");

    QTest::newRow("matching row") << QStringList{u"1"_s, u"2"_s, u"3"_s} << 3 << 2;
    QTest::newRow("first of two equal tags") << QStringList{u"1"_s, u"2"_s, u"2"_s} << 2 << 1;
    QTest::newRow("no match keeps the selection") << QStringList{u"1"_s, u"2"_s} << 7 << 0;
    QTest::newRow("tag that is no number reads as 0")
        << QStringList{u"1"_s, u"x"_s, u"0"_s} << 0 << 1;
    QTest::newRow("tag with a fraction is no match") << QStringList{u"1.5"_s, u"2"_s} << 1 << 0;
}

void tst_ListViewUtilities::selectItemByTag()
{
    QFETCH(QStringList, tags);
    QFETCH(int, number);
    QFETCH(int, selected);
    const auto list = listWithTags(tags);
    list->setCurrentItem(list->topLevelItem(0));

    SelectItemByTag(list.get(), number);

    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem *>{list->topLevelItem(selected)});
}

void tst_ListViewUtilities::widthsAreStoredPerColumnInTwips()
{
    IniSettingsStore settings;
    const auto list = threeColumns();

    SaveColumnWidths(list.get(), Section);

    for (int column = 0; column < 3; ++column) {
        const QVariant stored =
            settings.stored(u"FA"_s, Section, u"lvColWidth%1"_s.arg(column + 1));
        QCOMPARE(stored.toDouble(), double(toTwips(60 + 10 * column)));
    }
    QVERIFY(!settings.stored(u"FA"_s, Section, u"lvColWidth4"_s).isValid());
}

void tst_ListViewUtilities::firstRunKeepsDesignWidths()
{
    IniSettingsStore settings;
    const auto list = threeColumns();
    RestoreColumnWidths(list.get(), Section);
    QCOMPARE(widths(*list), (QList<int>{60, 70, 80}));
}

void tst_ListViewUtilities::restore_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("width");

    QTest::newRow("twips") << QVariant(1800) << 120;
    QTest::newRow("single precision") << QVariant(1807.5f) << 121;
    QTest::newRow("number as text") << QVariant(u"1500"_s) << 100;
    QTest::newRow("zero hides the column") << QVariant(0) << 0;
    QTest::newRow("text that is no number") << QVariant(u"wide"_s) << 70;
    QTest::newRow("negative") << QVariant(-300) << 70;
    QTest::newRow("beyond any screen") << QVariant(1e12) << 70;
}

void tst_ListViewUtilities::restore()
{
    QFETCH(QVariant, stored);
    QFETCH(int, width);
    IniSettingsStore settings;
    settings.store(u"FA"_s, Section, u"lvColWidth2"_s, stored);
    settings.store(u"FA"_s, Section, u"lvColWidth3"_s, 1500);
    const auto list = threeColumns();

    RestoreColumnWidths(list.get(), Section);

    QCOMPARE(widths(*list), (QList<int>{60, width, 100}));
}

void tst_ListViewUtilities::failingEntriesAreSkipped()
{
    IniSettingsStore settings;
    for (int column = 1; column <= 3; ++column)
        settings.store(u"FA"_s, Section, u"lvColWidth%1"_s.arg(column), 1500);
    settings.failingEntries = {Section + u"/lvColWidth2"_s};
    const auto list = threeColumns();

    RestoreColumnWidths(list.get(), Section);
    QCOMPARE(widths(*list), (QList<int>{100, 70, 100}));

    list->header()->resizeSection(0, 50);
    list->header()->resizeSection(2, 90);
    SaveColumnWidths(list.get(), Section);
    QCOMPARE(settings.writes, 2);
    QCOMPARE(settings.stored(u"FA"_s, Section, u"lvColWidth1"_s).toInt(), 750);
    QCOMPARE(settings.stored(u"FA"_s, Section, u"lvColWidth2"_s).toInt(), 1500);
    QCOMPARE(settings.stored(u"FA"_s, Section, u"lvColWidth3"_s).toInt(), 1350);
}

void tst_ListViewUtilities::withoutSettingsStoreNothingHappens()
{
    const auto list = threeColumns();
    SaveColumnWidths(list.get(), Section);
    RestoreColumnWidths(list.get(), Section);
    QCOMPARE(widths(*list), (QList<int>{60, 70, 80}));
}

QTEST_MAIN(tst_ListViewUtilities)
#include "tst_listviewutilities.moc"
