#pragma once

#include <QString>

namespace FixedAssets {

class WorksheetSink;

struct WorksheetImportRequest {
    QString props; // the host property string of the open session
    QString file;  // the filled-in worksheet: .xlsx, .ods or CSV
    bool dryRun = false;
    QString encoding; // of a CSV worksheet, by iconv's name; empty: guessed
};

struct WorksheetImportResult {
    enum class Outcome {
        Faulty,  // the worksheet has faults, told to the sink; nothing was saved
        Checked, // a dry run found no fault; nothing was saved
        Saved,
    };
    Outcome outcome = Outcome::Faulty;
    qsizetype faults = 0; // Faulty: all of them, of which the sink got the first Shown
    qsizetype cards = 0;  // Checked and Saved: the cards and rows the worksheet gives
    qsizetype rows = 0;
    qsizetype automatic = 0; // the cards the automatic adjustment adjusts first, as the wizard does
};

// Reads a filled-in worksheet, checks every line and card as the wizard would, and saves the
// rows of all the cards left for manual work at once, or nothing. Faults of the worksheet come
// back as the outcome Faulty; a worksheet that cannot be read or comes from another account set,
// and failures of the account set, raise Failure. Tells its progress to the sink.
WorksheetImportResult importWorksheet(const WorksheetImportRequest &request, WorksheetSink &sink);

} // namespace FixedAssets
