#pragma once

#include "support/ScopedRegistration.h"

#include <QSet>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

namespace AllocFix::Testing {

// A settings store ("FixedAssets.SettingsStore") backed by a real QSettings file in a temporary
// folder, registered while the object lives. Each created store object opens the file anew, so
// what one dialog writes the next one reads from disk.
class IniSettingsStore {
public:
    IniSettingsStore();
    ~IniSettingsStore();

    QString fileName() const;
    // Reads and writes of these entries ("section/entry") fail.
    QSet<QString> failingEntries;
    int writes = 0;

    // Direct access to the file, for arranging and checking.
    QVariant stored(const QString &application, const QString &section, const QString &entry) const;
    void store(const QString &application, const QString &section, const QString &entry,
               const QVariant &value);

private:
    QTemporaryDir m_folder;
    ScopedRegistration m_registration;
};

} // namespace AllocFix::Testing
