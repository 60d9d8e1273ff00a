#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "contracts/RecordSet.h"
#include "desktop/SharedProperties.h"
#include "records/RecordFields.h"
#include "services/AccountDataService.h"
#include "services/CardInfoService.h"
#include "services/HostServices.h"
#include "services/ItemInfoService.h"
#include "services/LookupObjects.h"
#include "support/AccountSetBackends.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
namespace Fields = AllocFix::Fields;

namespace {

constexpr qint32 CardId = 9901;
constexpr qint32 ItemId = 990;
constexpr qint32 AccountId = 990001;

// Stores text wherever the account set keeps the texts the services answer and search.
void store(const AccountSet &set, const QString &text)
{
    set.exec(
        u"INSERT INTO cards (alter_id, asset_number, asset_name, entry_date, category, model,"
        " site, original_value, accumulated_depreciation, useful_life_months,"
        " depreciation_method, status) VALUES (?, ?, ?, '2020-01-01', ?, ?, ?, 1, 0, 12, ?, ?)"_s,
        {CardId, text, text, text, text, text, text, text});
    set.exec(
        u"INSERT INTO items (item_id, class_id, number, name, detail) VALUES (?, 3, ?, ?, 1)"_s,
        {ItemId, text, text});
    set.exec(u"INSERT INTO accounts (account_id, number, name, detail) VALUES (?, ?, ?, 1)"_s,
             {AccountId, text, text});
    set.setProfileValue(u"Note"_s, text);
}

QString quoted(QString text)
{
    return u'\'' + text.replace(u'\'', u"''"_s) + u'\'';
}

} // namespace

// Texts with quotes, escapes, separators, NUL, direction marks and emoji come back from every
// service exactly as they were stored, or are refused with a message that says why.
class tst_HostileText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerHostServices(); }
    void cleanup();

    void textsRoundTripOrAreRefused_data();
    void textsRoundTripOrAreRefused();
};

void tst_HostileText::cleanup()
{
    AccountSet::closeAll();
    clearSharedProperties();
}

void tst_HostileText::textsRoundTripOrAreRefused_data()
{
    Testing::addBackendColumn();
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refusedByPostgres");

    const QList<std::tuple<const char *, QString, bool>> texts{
        {"quotes", u"O'Brien \"the\" '' `x`"_s, false},
        {"backslashes", u"C:\\temp\\ \\' \\\\ \\n"_s, false},
        {"statement end and comment", u"x'); DROP TABLE cards; --"_s, false},
        {"property separators", u"AcctSet=sqlite:/x;Language=ENG;"_s, false},
        {"wildcards", u"100% _x_ [a-z] *"_s, false},
        {"NUL", u"a"_s + QChar(0) + u"b"_s, true},
        {"right-to-left marks", u"\u202E收据\u200F abc \u200E"_s, false},
        {"emoji", u"💰📈 👩‍💼 🇨🇳"_s, false},
        {"10,000 characters", QString(5000, u'账') + QString(5000, u'x'), false},
    };
    for (const QString &backend : Testing::Backends) {
        for (const auto &[name, text, refused] : texts) {
            QTest::addRow("%s, %s", qPrintable(backend), name)
                << backend << text << (refused && backend == u"postgresql");
        }
    }
}

void tst_HostileText::textsRoundTripOrAreRefused()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(QString, text);
    QFETCH(bool, refusedByPostgres);
    const QString props = u"Language=ENG;AcctSet="_s + createDemoAccountSet(location, 1) + u';';
    publishPropsString(props);
    const AccountSet set = AccountSet::open(location);
    AccountDataService accounts;
    try {
        store(set, text);
        QVERIFY2(!refusedByPostgres, "PostgreSQL stored a text it cannot hold");
    } catch (const AllocFix::Failure &failure) {
        QVERIFY2(refusedByPostgres, qPrintable(failure.description()));
        QVERIFY2(failure.description().contains(u"NUL character"_s),
                 qPrintable(failure.description()));
        // Searching for it is refused alike, not answered wrongly.
        QVERIFY_THROWS_EXCEPTION(AllocFix::Failure, accounts.GetAccount(text));
        return;
    }

    qint32 cardId = CardId;
    const AllocFix::FieldRecord card = CardInfoService().GetCardInf(props, cardId);
    QCOMPARE(card.value(Fields::FAssetName).toText(), text);
    QCOMPARE(card.value(Fields::FAssetNumber).toText(), text);
    const AllocFix::FieldRecord detail = CardInfoService().GetDetail(props, cardId);
    QCOMPARE(detail.value(u"FModel"_s).toText(), text);
    QCOMPARE(detail.value(u"FLocation"_s).toText(), text);
    QCOMPARE(set.profileValue(u"Note"_s), text);

    const std::unique_ptr<QObject> account(accounts.GetAccount(text));
    QVERIFY(account);
    QCOMPARE(account->property("AccountID").toInt(), AccountId);
    QCOMPARE(account->property("name").toString(), text);

    qint32 code = -1;
    QString resultText;
    const std::unique_ptr<AllocFix::IRecordSet> items =
        ItemInfoService().GetList(props, 3, code, QVariant(), resultText);
    items->Find(u"FNumber = "_s + quoted(text));
    QVERIFY(!items->EndOfSet());
    QCOMPARE(items->Field(u"FItemID"_s).toInt(), ItemId);
    QCOMPARE(items->Field(u"FName"_s).toText(), text);
    // The list takes no condition; a text offered as one is refused, never run.
    QVERIFY_THROWS_EXCEPTION(AllocFix::Failure,
                             ItemInfoService().GetList(props, 3, code, text, resultText));
}

QTEST_GUILESS_MAIN(tst_HostileText)
#include "tst_hostiletext.moc"
