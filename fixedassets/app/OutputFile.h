#pragma once

#include "accountset/AccountSetLocation.h"

#include <QString>

#include <sys/types.h>

namespace FixedAssets {

// The file -o names, replaced as a whole or not at all: the writer fills a part file beside it,
// and commit() moves that into place. It refuses, before anything is made and again just before
// the move:
// - the account set being read, or its -wal, -shm or -journal file, however the path is spelled
//   ("..", a symbolic link, a hard link);
// - anything but a regular file: a folder, a device, a named pipe, a socket;
// - a symbolic link, unless replace; then the link itself is replaced, never what it points to;
// - a file that is there, unless replace; the new file keeps its mode.
class OutputFile {
public:
    // Raises InvalidArgument with one line that names the path and the reason.
    OutputFile(const QString &path, bool replace, const AccountSetLocation &reading);
    ~OutputFile(); // removes the part file unless committed
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // For -o -: refuses standard output when it is the account set being read, or one of its
    // companions ("-o - >> books.fa"), before anything is written. Raises as the constructor.
    static void checkStandardOutput(const AccountSetLocation &reading);

    const QString &path() const { return m_path; }
    // Where the writer writes, by name; it closes the file before commit(). Where the file system
    // allows, the file has no name of its own before commit(), so a kill leaves nothing.
    const QString &partPath() const { return m_partPath; }
    // Moves the part file into place. Raises InvalidArgument when the target may no longer be
    // written, or cannot be.
    void commit();

private:
    // Raises when the target may not be written; answers the mode the new file gets.
    mode_t checkTarget() const;
    QString accountSetFileAt(const QString &canonicalPath) const;
    // Links the part file, which has no name, to the target.
    void giveName() const;

    QString m_path;
    bool m_replace = false;
    QStringList m_readFiles; // the account set's file and its companions, whether there or not
    QString m_partPath;
    int m_partFd = -1; // the part file when it has no name
    bool m_committed = false;
};

} // namespace FixedAssets
