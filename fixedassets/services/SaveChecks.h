#pragma once

#include "records/RecordList.h"

#include <QHash>
#include <QList>
#include <QString>

namespace AllocFix {
struct AllocationFault;
}

namespace FixedAssets {

class AccountSet;

// The account set's own checks of the expense rows of a save: the allocation rules the wizard
// applies before it saves (asked of the same functions, so that the two never disagree), and
// those only the account set can tell: each row names its card ("FAlterID"), a detail-level
// account, and one detail-level item of each of the account's item classes in the account's
// order.
//
// The reference data is read once, when the checks are made: the accounts, the items and the
// departments of the cards waiting for manual adjustment (any other card's when it is checked).
class SaveChecks {
public:
    explicit SaveChecks(const AccountSet &set);

    // Raises SaveRejected naming the card, its position and the row at fault.
    void checkCard(qint32 cardId, qint32 position, const AllocFix::RecordList &rows) const;

private:
    struct Account {
        QString number;
        bool detail = false;
        QList<qint32> classes; // in the account's order
    };
    struct Item {
        qint32 classId = 0;
        bool detail = false;
        QString name;
    };

    void checkRows(qint32 cardId, const AllocFix::RecordList &rows) const;
    void checkItems(qsizetype row, const Account &account, const AllocFix::RecordList &items) const;
    AllocFix::RecordList departments(qint32 cardId) const;
    QString faultText(const AllocFix::AllocationFault &fault) const;
    const Account &account(qsizetype row, qint32 accountId) const;
    QString departmentName(qint32 departmentId) const;

    const AccountSet &m_set;
    QHash<qint32, Account> m_accounts;
    QHash<qint32, Item> m_items;
    struct CardDepartment {
        qint32 cardId = 0;
        qint32 departmentId = 0;
    };
    // The queued cards' departments, by card, each card's in its order: a flat list, since
    // 200,000 cards may be queued.
    QList<CardDepartment> m_departments;
};

} // namespace FixedAssets
