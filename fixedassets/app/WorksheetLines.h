#pragma once

#include "app/CsvFile.h"
#include "app/ReferenceData.h"
#include "app/Worksheet.h"

#include <QHash>
#include <QList>
#include <QString>

namespace FixedAssets {

// A fault of a worksheet line; line 0 is the worksheet as a whole.
struct WorksheetFault {
    qsizetype line = 0;
    QString reason;
};

// A filled-in worksheet as the import reads it: its columns, found by their headers in any
// language the program knows (so columns may be moved and others added), and its lines grouped
// by card. A line is filled when a column to fill holds something; the others only show the card.
class WorksheetLines {
public:
    struct Card {
        QString number;
        qsizetype firstLine = 0;
        QList<CsvRecord> filled;
        QString checkCode;
        qsizetype checkCodeLine = 0;
    };

    // Adds the header's faults and those of lines that name no card or disagree on its check
    // code to faults.
    WorksheetLines(const QList<CsvRecord> &records, const ReferenceData &reference,
                   QList<WorksheetFault> &faults);

    // In the order of their first lines.
    const QList<Card> &cards() const { return m_cards; }

    // A cell of a line, without spaces around it; empty where the line is short.
    QString cell(const CsvRecord &line, Worksheet::Kind kind, qint32 itemClass = 0) const;
    bool hasColumn(Worksheet::Kind kind, qint32 itemClass = 0) const;
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
    bool readHeader(const CsvRecord &header, const ReferenceData &reference,
                    QList<WorksheetFault> &faults);
    bool isFilled(const CsvRecord &line) const;

    QHash<qint64, Found> m_columns;
    QList<Card> m_cards;
};

} // namespace FixedAssets
