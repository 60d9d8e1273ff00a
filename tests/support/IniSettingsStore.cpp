#include "support/IniSettingsStore.h"

#include "host/DesktopServices.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

QString keyOf(const QString &application, const QString &section, const QString &entry)
{
    return application + u'/' + section + u'/' + entry;
}

class IniSettings final : public QObject, public ISettingsStore {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ISettingsStore)
public:
    explicit IniSettings(IniSettingsStore &owner)
        : m_owner(owner)
        , m_settings(owner.fileName(), QSettings::IniFormat)
    {}

    QVariant read(const QString &application, const QString &section, const QString &entry,
                  const QVariant &defaultValue) override
    {
        failIfAsked(section, entry);
        return m_settings.value(keyOf(application, section, entry), defaultValue);
    }

    void write(const QString &application, const QString &section, const QString &entry,
               const QVariant &value) override
    {
        failIfAsked(section, entry);
        ++m_owner.writes;
        m_settings.setValue(keyOf(application, section, entry), value);
    }

private:
    void failIfAsked(const QString &section, const QString &entry) const
    {
        if (m_owner.failingEntries.contains(section + u'/' + entry))
            throw Failure(ErrorNumber::ServiceBase + 31, u"settings entry locked"_s);
    }

    IniSettingsStore &m_owner;
    QSettings m_settings;
};

} // namespace

IniSettingsStore::IniSettingsStore()
    : m_registration(ProgId::SettingsStore, [this] { return std::make_unique<IniSettings>(*this); })
{}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::fileName() const
{
    return m_folder.filePath(u"settings.ini"_s);
}

QVariant IniSettingsStore::stored(const QString &application, const QString &section,
                                  const QString &entry) const
{
    return QSettings(fileName(), QSettings::IniFormat).value(keyOf(application, section, entry));
}

void IniSettingsStore::store(const QString &application, const QString &section,
                             const QString &entry, const QVariant &value)
{
    QSettings(fileName(), QSettings::IniFormat).setValue(keyOf(application, section, entry), value);
}

} // namespace AllocFix::Testing

#include "IniSettingsStore.moc"
