#pragma once

#include "host/DesktopServices.h"

#include <QObject>

namespace FixedAssets {

// The host's settings store: one INI file per application (<folder>/FA.ini for "FA"), the
// section as its group and the entry as its key. The folder defaults to the user's
// configuration folder; tests give their own.
class SettingsStore final : public QObject, public AllocFix::ISettingsStore {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISettingsStore)
public:
    explicit SettingsStore(QString folder = defaultFolder());

    // Raises InvalidArgument for an application name that is not a plain file name.
    QVariant read(const QString &application, const QString &section, const QString &entry,
                  const QVariant &defaultValue) override;
    void write(const QString &application, const QString &section, const QString &entry,
               const QVariant &value) override;

    static QString defaultFolder();

private:
    QString fileOf(const QString &application) const;

    QString m_folder;
};

} // namespace FixedAssets
