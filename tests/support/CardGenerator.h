#pragma once

#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "records/RecordList.h"

#include <QList>
#include <QRandomGenerator>

#include <array>

// Made for the account set's property test and shared with the manual page's: the generated rows
// use the demo's accounts and department IDs.

namespace AllocFix::Testing {

// The demo's expense accounts whose only item class is the departments (class 2).
inline constexpr std::array<qint32, 2> Accounts{660101, 660201};
// A department that most demo cards lack: a row of it belongs to no department of theirs.
inline constexpr qint32 QualityDepartment = 213;

// Cards as a user or a careless import might leave them: splits at 1 to 7 decimals that make
// 100 % or miss it by a hair, rows repeated, old rows without a department, rows of a department
// the card lacks, items not chosen, rates out of range.
class CardGenerator {
public:
    explicit CardGenerator(quint32 seed)
        : m_random(seed)
    {}

    RecordList rows(qint32 cardId, const QList<qint32> &departments)
    {
        RecordList rows = RecordList::create();
        for (const qint32 department : departments) {
            // One row per account, so that only the repeats made below repeat.
            const int count = chance(0.04) ? 0 : 1 + bounded(static_cast<int>(Accounts.size()));
            qsizetype account = 0;
            for (const double rate : split(count))
                rows.append(row(cardId, department, rate, Accounts.at(account++)));
        }
        if (rows.count() > 0 && chance(0.15))
            rows.append(rows.at(1 + bounded(static_cast<int>(rows.count()))).copy());
        if (chance(0.2))
            rows.append(row(cardId, 0, decimals(m_random.generateDouble()), Accounts.at(0)));
        if (!departments.contains(QualityDepartment) && chance(0.05))
            rows.append(row(cardId, QualityDepartment, 0.5, Accounts.at(1)));
        if (rows.count() > 0 && chance(0.05)) {
            rows.at(1 + bounded(static_cast<int>(rows.count())))
                .value(Fields::Detail)
                .toList()
                .at(1)
                .setValue(Fields::FItemID, 0);
        }
        if (rows.count() > 0 && chance(0.05)) {
            rows.at(1 + bounded(static_cast<int>(rows.count())))
                .setValue(Fields::FRate, chance(0.5) ? 0.0 : 1.5);
        }
        return rows;
    }

private:
    bool chance(double p) { return m_random.generateDouble() < p; }
    int bounded(int n) { return static_cast<int>(m_random.bounded(n)); }

    // A fraction at this row's number of decimals, as a user would type it.
    double decimals(double value) { return QString::number(value, 'f', m_decimals).toDouble(); }

    QList<double> split(int count)
    {
        m_decimals = 1 + bounded(7);
        QList<double> rates;
        if (count == 0)
            return rates;
        if (chance(0.1)) {
            for (int i = 0; i < count; ++i)
                rates.append(decimals(m_random.generateDouble() * 1.1));
            return rates;
        }
        double left = 1.0;
        for (int i = 1; i < count; ++i) {
            rates.append(decimals(m_random.generateDouble() * left));
            left -= rates.last();
        }
        // What is left, or that missed by a hair either way of the fourth decimal's half.
        const std::array<double, 6> misses{0, 0, 0, 0.00004, -0.00004, 0.00006};
        rates.append(decimals(left) + misses.at(bounded(static_cast<int>(misses.size()))));
        return rates;
    }

    FieldRecord row(qint32 cardId, qint32 department, double rate, qint32 account)
    {
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, 2);
        item.setValue(Fields::FItemClassName, QStringLiteral("部门"));
        const qint32 itemId = department == 0 ? 201 : department;
        item.setValue(Fields::FItemID, itemId);
        item.setValue(Fields::FItemName, QStringLiteral("部门%1").arg(itemId));
        RecordList items = RecordList::create();
        items.append(item);
        FieldRecord row = FieldRecord::create();
        row.setValue(Fields::FAlterID, cardId);
        row.setValue(Fields::FDeptID, department);
        row.setValue(Fields::FAcctID, account);
        row.setValue(Fields::Detail, items);
        row.setValue(Fields::FRate, rate);
        return row;
    }

    QRandomGenerator m_random;
    int m_decimals = 2;
};

} // namespace AllocFix::Testing
