// The import's packed index of the manual cards: every card is found by its asset number and its
// ID, whatever the order they came in, and nothing else is.
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "worksheet/KnownCards.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
namespace Fields = AllocFix::Fields;

class tst_KnownCards : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findsEachCard_data();
    void findsEachCard();
};

void tst_KnownCards::findsEachCard_data()
{
    QTest::addColumn<QStringList>("numbers"); // card i + 1 has numbers[i] and i + 1 departments
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("in order") << QStringList{u"FA001"_s, u"FA002"_s, u"FA003"_s}
                              << QStringList{u"FA000"_s, u"FA004"_s, QString()};
    QTest::newRow("one a prefix of another")
        << QStringList{u"FA10"_s, u"FA1"_s, u"FA100"_s} << QStringList{u"FA"_s, u"FA1000"_s};
    QTest::newRow("beyond ASCII, out of order")
        << QStringList{u"资产-02"_s, u"Z9"_s, u"资产-01"_s, u"a"_s}
        << QStringList{u"资产"_s, u"资产-03"_s, u"A"_s};
}

void tst_KnownCards::findsEachCard()
{
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, absent);
    KnownCards cards;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        ManualCard card;
        card.cardId = static_cast<qint32>(1000 - i); // IDs in the other order than numbers
        card.number = numbers[i];
        card.departments = AllocFix::RecordList::create();
        for (qsizetype d = 0; d <= i; ++d) {
            AllocFix::FieldRecord department = AllocFix::FieldRecord::create();
            department.setValue(Fields::FItemID, static_cast<qint32>(100 * i + d));
            card.departments.append(department);
        }
        cards.add(card);
    }
    cards.index();
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const KnownCard *byNumber = cards.byNumber(numbers[i]);
        QVERIFY2(byNumber, qPrintable(numbers[i]));
        QCOMPARE(byNumber->cardId, 1000 - i);
        QCOMPARE(cards.byId(static_cast<qint32>(1000 - i)), byNumber);
        const std::span<const qint32> departments = cards.departmentsOf(*byNumber);
        QCOMPARE(departments.size(), static_cast<size_t>(i + 1));
        QCOMPARE(departments.back(), 100 * i + i);
    }
    for (const QString &number : std::as_const(absent))
        QVERIFY2(!cards.byNumber(number), qPrintable(number));
    QVERIFY(!cards.byId(1000 - static_cast<qint32>(numbers.size())));
    QVERIFY(!cards.byId(1001));
}

QTEST_GUILESS_MAIN(tst_KnownCards)
#include "tst_knowncards.moc"
