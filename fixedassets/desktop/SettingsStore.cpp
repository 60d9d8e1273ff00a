#include "desktop/SettingsStore.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

QString keyOf(const QString &section, const QString &entry)
{
    return section.isEmpty() ? entry : section + u'/' + entry;
}

} // namespace

SettingsStore::SettingsStore(QString folder)
    : m_folder(std::move(folder))
{}

QVariant SettingsStore::read(const QString &application, const QString &section,
                             const QString &entry, const QVariant &defaultValue)
{
    const QSettings settings(fileOf(application), QSettings::IniFormat);
    return settings.value(keyOf(section, entry), defaultValue);
}

void SettingsStore::write(const QString &application, const QString &section, const QString &entry,
                          const QVariant &value)
{
    QSettings settings(fileOf(application), QSettings::IniFormat);
    settings.setValue(keyOf(section, entry), value);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw AllocFix::Failure(AllocFix::ErrorNumber::ServiceBase + 1101,
                                LoadLangString(u"无法写入设置文件 %1"_s).arg(settings.fileName()),
                                u"FixedAssets.SettingsStore"_s);
    }
}

QString SettingsStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/FixedAssets"_s;
}

QString SettingsStore::fileOf(const QString &application) const
{
    static const QRegularExpression plainName(uR"(^[A-Za-z0-9][A-Za-z0-9_.-]*$)"_s);
    if (!plainName.match(application).hasMatch()) {
        throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                                LoadLangString(u"“%1”不是应用程序名"_s).arg(application),
                                u"FixedAssets.SettingsStore"_s);
    }
    QDir().mkpath(m_folder);
    return QDir(m_folder).filePath(application + u".ini"_s);
}

} // namespace FixedAssets
