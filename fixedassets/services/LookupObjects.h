#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

// The objects the account lookups answer, read by name.
namespace FixedAssets {

// One row of the account or item tables, as the lookups list it.
struct CodedEntry {
    qint32 id = 0;
    QString number;
    QString name;
    bool detail = false;
};

// An account: "AccountID", "number", "name", "detail".
class AccountObject final : public QObject {
    Q_OBJECT
    Q_PROPERTY(int AccountID READ accountId CONSTANT)
    Q_PROPERTY(QString number READ number CONSTANT)
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(bool detail READ detail CONSTANT)
public:
    explicit AccountObject(CodedEntry entry)
        : m_entry(std::move(entry))
    {}
    int accountId() const { return m_entry.id; }
    QString number() const { return m_entry.number; }
    QString name() const { return m_entry.name; }
    bool detail() const { return m_entry.detail; }

private:
    CodedEntry m_entry;
};

// An accounting item: "ItemID", "number", "name", "detail".
class ItemObject final : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ItemID READ itemId CONSTANT)
    Q_PROPERTY(QString number READ number CONSTANT)
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(bool detail READ detail CONSTANT)
public:
    explicit ItemObject(CodedEntry entry)
        : m_entry(std::move(entry))
    {}
    int itemId() const { return m_entry.id; }
    QString number() const { return m_entry.number; }
    QString name() const { return m_entry.name; }
    bool detail() const { return m_entry.detail; }

private:
    CodedEntry m_entry;
};

// What a lookup dialog answers: "ReturnOK" (the user confirmed a choice), "ReturnValue" (the
// chosen ID, 0 after a cancel) and "ReturnObject" (the chosen account or item, owned by the
// result; none after a cancel).
class LookupResult final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ReturnOK READ returnOk CONSTANT)
    Q_PROPERTY(int ReturnValue READ returnValue CONSTANT)
    Q_PROPERTY(QObject *ReturnObject READ returnObject CONSTANT)
public:
    LookupResult() = default;
    LookupResult(int value, std::unique_ptr<QObject> chosen)
        : m_ok(true)
        , m_value(value)
        , m_object(std::move(chosen))
    {}
    bool returnOk() const { return m_ok; }
    int returnValue() const { return m_value; }
    QObject *returnObject() const { return m_object.get(); }

private:
    bool m_ok = false;
    int m_value = 0;
    std::unique_ptr<QObject> m_object;
};

} // namespace FixedAssets
