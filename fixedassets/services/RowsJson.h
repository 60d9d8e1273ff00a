#pragma once

#include "services/CardRecordBuilders.h"

// The rows as compact JSON, for the audit log:
// [{"account":660201,"dept":201,"items":[[2,201]],"rate":1},...]
// The audit's hash chain covers this text: it must not change by a byte (AuditChain).
namespace FixedAssets {

// Builds the text of toJson a row and an item at a time, for rows read from the account set.
class RowsJson {
public:
    static QString toJson(const AllocFix::RecordList &rows);
    static QString toJson(const QList<CardRecordBuilders::RowIds> &rows);

    void addRow(qint32 departmentId, qint32 accountId, double rate);
    // An item of the row added last.
    void addItem(qint32 classId, qint32 itemId);
    // The text of the rows added since the last take.
    QString take();

private:
    void endRow();

    QString m_text;
    double m_rate = 0.0;
    bool m_inRow = false;
    bool m_firstItem = true;
};

} // namespace FixedAssets
