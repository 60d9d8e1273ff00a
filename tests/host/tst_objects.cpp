#include "entry/ShowUpdate.h"
#include "entry/WaitCursor.h"
#include "host/ByName.h"
#include "host/DesktopServices.h"
#include "host/ErrorRecord.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "support/ScopedRegistration.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace AllocFix;
using AllocFix::Testing::ScopedRegistration;

namespace {

class Account : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool detail MEMBER m_detail)
    Q_PROPERTY(QString name MEMBER m_name)
public:
    Account(bool detail, const QString &name)
        : m_detail(detail)
        , m_name(name)
    {}
    bool m_detail;
    QString m_name;
};

class Lookup : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject *ReturnObject READ returnObject)
public:
    Q_INVOKABLE int Add(int a, int b) { return a + b; }
    Q_INVOKABLE void Twice(int &value, QString &text)
    {
        value *= 2;
        text += text;
    }
    Q_INVOKABLE QString Shape(const QVariant &a, const QVariant &b, const QVariant &c)
    {
        auto describe = [](const QVariant &v) {
            return isMissingArgument(v) ? u"-"_s : v.toString();
        };
        return describe(a) + u'|' + describe(b) + u'|' + describe(c);
    }
    Q_INVOKABLE QObject *GetAccount(const QVariant &key)
    {
        if (key.toString() == u"none")
            return nullptr;
        return new Account(true, key.toString());
    }
    Q_INVOKABLE void Fail() { throw Failure(ErrorNumber::ServiceBase + 7, u"refused"_s); }
    QObject *returnObject() { return &m_child; }

private:
    Account m_child{false, u"child"_s};
};

class NotALoader : public QObject {
    Q_OBJECT
};

} // namespace

class tst_Objects : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unregisteredProgIdNamesIt();
    void progIdIsCaseInsensitive();
    void componentClassesAreRegistered_data();
    void componentClassesAreRegistered();
    void missingContractIsATypeMismatch();

    void callByName();
    void byReferenceArgumentsAreReadBack();
    void missingArgumentsReachTheMember();
    void objectAnswersBelongToTheCaller();
    void byNameFailures_data();
    void byNameFailures();
    void memberFailurePassesThrough();
    void propertiesByName();
};

void tst_Objects::unregisteredProgIdNamesIt()
{
    try {
        ObjectRegistry::instance().create(u"Nowhere.Service"_s);
        QFAIL("an unregistered ProgID must raise");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), ErrorNumber::CannotCreateObject);
        QVERIFY(failure.description().contains(u"Nowhere.Service"_s));
        QCOMPARE(failure.record().source, u"Nowhere.Service"_s);
    }
}

void tst_Objects::progIdIsCaseInsensitive()
{
    int created = 0;
    ScopedRegistration registration(u"Host.Thing"_s, [&created] {
        ++created;
        return std::make_unique<QObject>();
    });
    QVERIFY(ObjectRegistry::instance().create(u"host.THING"_s));
    QVERIFY(ObjectRegistry::instance().create(u"Host.Thing"_s));
    QCOMPARE(created, 2);
}

void tst_Objects::componentClassesAreRegistered_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QUuid>("classId");
    QTest::addColumn<QString>("className");
    QTest::newRow("ShowUpdate") << ProgId::ShowUpdate
                                << QUuid(u"{14CF190F-E3E0-11D5-9FA2-00E04C54B3B6}"_s)
                                << u"AllocFix::ShowUpdate"_s;
    QTest::newRow("WaitCursor") << ProgId::WaitCursor
                                << QUuid(u"{14CF190D-E3E0-11D5-9FA2-00E04C54B3B6}"_s)
                                << u"AllocFix::WaitCursor"_s;
}

void tst_Objects::componentClassesAreRegistered()
{
    QFETCH(QString, progId);
    QFETCH(QUuid, classId);
    QFETCH(QString, className);

    const auto byProgId = ObjectRegistry::instance().create(progId);
    QCOMPARE(QString::fromLatin1(byProgId->metaObject()->className()), className);
    const auto byClassId = ObjectRegistry::instance().create(classId);
    QCOMPARE(QString::fromLatin1(byClassId->metaObject()->className()), className);
}

void tst_Objects::missingContractIsATypeMismatch()
{
    ScopedRegistration registration(ProgId::ResourceLoader,
                                    [] { return std::make_unique<NotALoader>(); });
    try {
        createService<IResourceLoader>(ProgId::ResourceLoader);
        QFAIL("an object without the contract must be refused");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), ErrorNumber::TypeMismatch);
        QVERIFY(failure.description().contains(u"IResourceLoader"_s));
    }
}

void tst_Objects::callByName()
{
    Lookup lookup;
    QVariantList args{2, u"3"_s};
    QCOMPARE(ByName::call(&lookup, u"add"_s, args).toInt(), 5);
}

void tst_Objects::byReferenceArgumentsAreReadBack()
{
    Lookup lookup;
    QVariantList args{21, u"ab"_s};
    ByName::call(&lookup, u"Twice"_s, args);
    QCOMPARE(args[0].toInt(), 42);
    QCOMPARE(args[1].toString(), u"abab"_s);
}

void tst_Objects::missingArgumentsReachTheMember()
{
    Lookup lookup;
    QVariantList args{1, missingArgument(), u"x"_s};
    QCOMPARE(ByName::call(&lookup, u"Shape"_s, args).toString(), u"1|-|x"_s);
}

void tst_Objects::objectAnswersBelongToTheCaller()
{
    Lookup lookup;
    QVariantList args{u"6602"_s};
    std::unique_ptr<QObject> account = ByName::callForObject(&lookup, u"GetAccount"_s, args);
    QVERIFY(account);
    QCOMPARE(ByName::property(account.get(), u"name"_s).toString(), u"6602"_s);
    QVERIFY(ByName::property(account.get(), u"Detail"_s).toBool());

    QVariantList none{u"none"_s};
    QVERIFY(!ByName::callForObject(&lookup, u"GetAccount"_s, none));

    // A value call must not leak an object answer.
    QVERIFY_THROWS_EXCEPTION(Failure, ByName::call(&lookup, u"GetAccount"_s, args));
}

void tst_Objects::byNameFailures_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<bool>("nullTarget");
    QTest::addColumn<int>("number");

    QTest::newRow("no such member") << u"Subtract"_s << QVariantList{1, 2} << false << 438;
    QTest::newRow("wrong argument count") << u"Add"_s << QVariantList{1} << false << 438;
    QTest::newRow("text for a number") << u"Add"_s << QVariantList{u"x"_s, 2} << false << 13;
    QTest::newRow("missing for a number")
        << u"Add"_s << QVariantList{missingArgument(), 2} << false << 13;
    QTest::newRow("no target") << u"Add"_s << QVariantList{1, 2} << true << 91;
}

void tst_Objects::byNameFailures()
{
    QFETCH(QString, member);
    QFETCH(QVariantList, args);
    QFETCH(bool, nullTarget);
    QFETCH(int, number);
    Lookup lookup;

    try {
        ByName::call(nullTarget ? nullptr : &lookup, member, args);
        QFAIL("the call must raise");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), number);
    }
}

void tst_Objects::memberFailurePassesThrough()
{
    Lookup lookup;
    QVariantList args;
    try {
        ByName::call(&lookup, u"Fail"_s, args);
        QFAIL("the member's failure must reach the caller");
    } catch (const Failure &failure) {
        QCOMPARE(failure.description(), u"refused"_s);
    }
}

void tst_Objects::propertiesByName()
{
    Lookup lookup;
    QObject *child = ByName::objectProperty(&lookup, u"returnobject"_s);
    QVERIFY(child);
    QCOMPARE(ByName::property(child, u"name"_s).toString(), u"child"_s);
    QVERIFY_THROWS_EXCEPTION(Failure, ByName::property(&lookup, u"ReturnValue"_s));
}

QTEST_MAIN(tst_Objects)
#include "tst_objects.moc"
