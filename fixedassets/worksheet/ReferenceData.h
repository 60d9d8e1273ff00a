#pragma once

#include "services/LookupObjects.h"

#include <QHash>
#include <QList>
#include <QString>

namespace FixedAssets {

// The accounts, item classes and items an expense row may name, read once through the account
// and item services, for turning the codes a user types into IDs and IDs back into names.
class ReferenceData {
public:
    struct ItemClass {
        qint32 id = 0;
        QString name;
    };
    struct Account {
        CodedEntry entry;
        QList<ItemClass> classes; // in the account's order
    };

    // Reads the account set that the published host property string names.
    ReferenceData();

    // The item classes the detail-level accounts use, by class ID.
    const QList<ItemClass> &itemClasses() const { return m_classes; }
    // The detail-level accounts, in number order.
    const QList<Account> &accounts() const { return m_accounts; }
    // The items of a class in number order; the departments are class 2.
    QList<CodedEntry> items(qint32 classId) const { return m_items.value(classId).entries; }

    const Account *account(qint32 accountId) const;
    const Account *accountNumbered(const QString &number) const;
    const CodedEntry *item(qint32 classId, qint32 itemId) const;
    // The item of the class with this number or, failing that, the one item with this name.
    const CodedEntry *findItem(qint32 classId, const QString &numberOrName) const;
    // Whether more than one item of the class has this name, so only its number can tell it.
    bool nameIsShared(qint32 classId, const QString &name) const;

private:
    struct ClassItems {
        QList<CodedEntry> entries;
        QHash<qint32, qsizetype> byId;
        QHash<QString, qsizetype> byNumber;
        QMultiHash<QString, qsizetype> byName;
    };

    QList<ItemClass> m_classes;
    QList<Account> m_accounts;
    QHash<qint32, ClassItems> m_items;
    QHash<qint32, qsizetype> m_accountById;
    QHash<QString, qsizetype> m_accountByNumber;
};

} // namespace FixedAssets
