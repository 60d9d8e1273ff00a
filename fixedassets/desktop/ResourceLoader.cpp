#include "desktop/ResourceLoader.h"

#include <QDir>

using namespace Qt::StringLiterals;

static void initCatalogResources()
{
    // The catalogs live in a static library; naming them keeps the linker from dropping them.
    Q_INIT_RESOURCE(catalogs);
}

namespace FixedAssets {

namespace {
const QString CatalogFolder = u":/catalogs"_s;
}

ResourceLoader::ResourceLoader()
{
    initCatalogResources();
}

ResourceLoader::~ResourceLoader() = default;

void ResourceLoader::setResFileBaseName(const QString &baseName)
{
    m_baseName = baseName;
    loadCatalogs();
}

void ResourceLoader::setLanguageID(const QString &languageId)
{
    m_languageId = languageId.trimmed().toUpper();
    loadCatalogs();
}

QString ResourceLoader::LoadString(QString &key)
{
    return find(key, Lookup::Text).value_or(key);
}

QString ResourceLoader::LoadString2(QString &key)
{
    return find(key, Lookup::ColumnHeader).value_or(key);
}

std::optional<QString> ResourceLoader::find(const QString &key, Lookup lookup) const
{
    const char *context = lookup == Lookup::Text ? "ulm" : "ulm.header";
    const QByteArray source = key.toUtf8();
    for (const auto &catalog : m_catalogs) {
        const QString text = catalog->translate(context, source.constData());
        if (!text.isEmpty())
            return text;
    }
    return std::nullopt;
}

QStringList ResourceLoader::languages(const QString &baseName)
{
    initCatalogResources();
    QStringList found;
    const QStringList files =
        QDir(CatalogFolder).entryList({baseName + u"_*_*.qm"_s}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString language = file.section(u'_', -2, -2).toUpper();
        if (!found.contains(language))
            found.append(language);
    }
    return found;
}

void ResourceLoader::loadCatalogs()
{
    m_catalogs.clear();
    if (m_baseName.isEmpty() || m_languageId.isEmpty())
        return;
    const QDir folder(CatalogFolder);
    const QStringList files = folder.entryList(QDir::Files, QDir::Name);
    const QString prefix = m_baseName + u'_' + m_languageId + u'_';
    for (const QString &file : files) {
        if (!file.startsWith(prefix, Qt::CaseInsensitive) || !file.endsWith(u".qm"_s))
            continue;
        auto catalog = std::make_unique<QTranslator>();
        if (catalog->load(folder.filePath(file)))
            m_catalogs.push_back(std::move(catalog));
    }
}

} // namespace FixedAssets
