#pragma once

#include "worksheet/CsvFile.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/Worksheet.h"
#include "worksheet/WorksheetFaults.h"

#include <QHash>
#include <QList>
#include <QString>

namespace FixedAssets {

// The lines of a filled-in worksheet as the import reads them: its columns, found by their
// headers in any language the program knows (so columns may be moved and others added). A line
// is filled when a column to fill holds something; the others only show the card.
class WorksheetLines {
public:
    // From the worksheet's first record, nothing for an empty worksheet; adds the header's faults.
    WorksheetLines(const std::optional<CsvRecord> &header, const ReferenceData &reference,
                   WorksheetFaults &faults);

    bool isFilled(const CsvRecord &line) const;
    // A cell of a line, without spaces around it; empty where the line is short.
    QString cell(const CsvRecord &line, Worksheet::Kind kind, qint32 itemClass = 0) const;
    bool hasColumn(Worksheet::Kind kind, qint32 itemClass = 0) const;
    // Where the column is, counted from 1 (A in a spreadsheet); 0 when there is none.
    qsizetype column(Worksheet::Kind kind, qint32 itemClass = 0) const;
    // The header of a column as the worksheet writes it, quoted, for messages.
    QString header(Worksheet::Kind kind, qint32 itemClass = 0) const;

private:
    struct Found {
        qsizetype column = -1;
        QString header;
    };
    static qint64 key(Worksheet::Kind kind, qint32 itemClass)
    {
        return (static_cast<qint64>(kind) << 32) | static_cast<quint32>(itemClass);
    }
    void readHeader(const CsvRecord &header, const ReferenceData &reference,
                    WorksheetFaults &faults);

    QHash<qint64, Found> m_columns;
};

} // namespace FixedAssets
