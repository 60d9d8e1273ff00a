#pragma once

#include "host/ErrorRecord.h"

#include <QString>
#include <QTemporaryDir>

namespace FixedAssets {

// "-" in place of a file. The table writers and the worksheet readers work on files by name and
// choose the kind by suffix, and the import reads its worksheet twice; so standard input is first
// spooled to a private file, and what is meant for standard output is written to one and copied
// out once it is whole, so that a failure leaves nothing half-written on stdout. Both files live
// in a folder only the user may enter, and go with the object.
class SpooledFile {
public:
    // Standard input, at most limitBytes + 1 of it (the reader's own limit then refuses more,
    // without the program reading all of an endless stream). Named .xlsx or .ods when its
    // content is one, else .csv. Raises InvalidArgument when it cannot be read or kept.
    static SpooledFile fromStandardInput(qint64 limitBytes);
    // An empty .csv file for standard output.
    static SpooledFile forStandardOutput();

    SpooledFile(SpooledFile &&) = default;

    const QString &path() const { return m_path; }
    // Copies the file to standard output. Raises when it cannot be written whole (a closed pipe,
    // a full disk).
    void copyToStandardOutput() const;
    // The failure with this file's path told as the user named it ("stdin" or "stdout").
    AllocFix::Failure renamed(const AllocFix::Failure &failure) const;

private:
    SpooledFile(const QString &suffix, QString shownAs);

    QTemporaryDir m_folder;
    QString m_path;
    QString m_shownAs;
};

} // namespace FixedAssets
