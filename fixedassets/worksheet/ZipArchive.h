#pragma once

#include "worksheet/CsvFile.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

namespace FixedAssets {

// A workbook's zip archive, read through libzip, whose entries are read as they expand, never
// whole. An entry may expand to at most the file limit: what it declares is checked
// before it is read, and what it gives while it is read, so that a small file that expands
// without end (a zip bomb) is refused at once. A stretch of text without markup is refused
// beyond what any cell may hold, so that an XML reader never holds one larger.
//
//     ZipArchive archive(path, WorksheetLimits);
//     const std::unique_ptr<QIODevice> sheet = archive.entry(u"xl/worksheets/sheet1.xml"_s);
//     QXmlStreamReader xml(sheet.get());
//     ... // after an error of xml: archive.raiseIfFaulty(*sheet) tells a fault of the archive
class ZipArchive {
public:
    // Raises InvalidArgument, "file: reason", for a file that cannot be read, is no regular file,
    // is larger than the limit, is encrypted or is no zip archive.
    ZipArchive(const QString &path, const CsvLimits &limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    QStringList names() const;
    bool contains(const QString &name) const;
    // The entry, opened for reading: nothing when there is no such entry. Raises for one that is
    // encrypted, declares more than the limit or cannot be opened.
    std::unique_ptr<QIODevice> entry(const QString &name) const;
    // Raises, "file: reason", when the entry stopped for a fault of the archive: it expanded
    // beyond what it declared or the limit, or libzip could not read it.
    void raiseIfFaulty(const QIODevice &entry) const;
    // The bytes an entry has given so far.
    static qint64 expanded(const QIODevice &entry);
    // The bytes an entry declares it expands to.
    static qint64 declared(const QIODevice &entry);

    [[noreturn]] void raise(const QString &reason) const;

private:
    QString m_path;
    qint64 m_expandedLimit = 0;
    qint64 m_textLimit = 0;
    struct Archive;
    std::unique_ptr<Archive> m_archive;
};

} // namespace FixedAssets
