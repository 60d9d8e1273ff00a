#pragma once

#include <QString>

namespace FixedAssets {

class WorksheetSink;

struct WorksheetExportRequest {
    QString props;     // the host property string of the open session
    QString path;      // the file the user named: CSV or XLSX by its suffix, for messages
    QString writePath; // where it is written; the caller moves it into place
};

struct WorksheetExportResult {
    qsizetype lines = 0;
    qsizetype cards = 0;
};

// Writes the worksheet of the cards left for manual work, one line for each of their rows, with
// the sheets a user looks codes up in. Raises Failure when the file cannot be written or the
// account set read. Tells its progress to the sink.
WorksheetExportResult exportWorksheet(const WorksheetExportRequest &request, WorksheetSink &sink);

} // namespace FixedAssets
