#pragma once

#include "host/DesktopServices.h"

#include <QObject>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <optional>
#include <vector>

namespace FixedAssets {

// "Q7RESLOADER.Loader": the compiled catalogs :/catalogs/<ResFileBaseName>_<LanguageID>_*.qm.
// Context "ulm" serves LoadString, "ulm.header" LoadString2; an unknown text comes back as given.
class ResourceLoader final : public QObject, public AllocFix::IResourceLoader {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IResourceLoader)
public:
    enum class Lookup { Text, ColumnHeader };

    ResourceLoader();
    ~ResourceLoader() override;

    void setResFileBaseName(const QString &baseName) override;
    void setLanguageID(const QString &languageId) override;
    QString LoadString(QString &key) override;
    QString LoadString2(QString &key) override;

    // The catalog's text for key, or nothing when no catalog has it.
    std::optional<QString> find(const QString &key, Lookup lookup) const;

    // The language IDs that have catalogs under baseName, upper case.
    static QStringList languages(const QString &baseName = QStringLiteral("ulm"));

private:
    void loadCatalogs();

    QString m_baseName;
    QString m_languageId;
    std::vector<std::unique_ptr<QTranslator>> m_catalogs;
};

} // namespace FixedAssets
