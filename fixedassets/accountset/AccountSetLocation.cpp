#include "accountset/AccountSetLocation.h"

#include "accountset/AccountSetErrors.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseBadLocation(const QString &text, const QString &why)
{
    throw AllocFix::Failure(AccountSetError::BadLocation,
                            u"\"%1\" names no account set: %2"_s.arg(text, why),
                            AccountSetError::Source);
}

AccountSetLocation parsePostgres(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        raiseBadLocation(text, u"expected postgresql://user@host:port/database"_s);
    AccountSetLocation location;
    location.kind = AccountSetLocation::Kind::PostgreSQL;
    location.host = url.host();
    location.port = url.port(5432);
    location.user = url.userName();
    location.password = url.password();
    location.database = url.path().mid(1);
    if (location.database.isEmpty() || location.database.contains(u'/'))
        raiseBadLocation(text, u"the URL names no database"_s);
    return location;
}

} // namespace

AccountSetLocation AccountSetLocation::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        raiseBadLocation(text, u"it is empty"_s);
    if (trimmed.startsWith(u"postgresql://"_s, Qt::CaseInsensitive) ||
        trimmed.startsWith(u"postgres://"_s, Qt::CaseInsensitive)) {
        return parsePostgres(trimmed);
    }
    QString path = trimmed;
    if (path.startsWith(u"sqlite:"_s, Qt::CaseInsensitive))
        path = path.mid(7);
    if (path.isEmpty())
        raiseBadLocation(text, u"the SQLite file path is empty"_s);
    // The property string separates its pairs with ";", so such a path could not travel in it.
    if (path.contains(u';'))
        raiseBadLocation(text, u"a file path may not contain \";\""_s);
    AccountSetLocation location;
    location.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return location;
}

AccountSetLocation AccountSetLocation::fromProps(const QString &props)
{
    const QStringList pairs = props.split(u';', Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals > 0 &&
            pair.left(equals).trimmed().compare(u"AcctSet"_s, Qt::CaseInsensitive) == 0)
            return parse(pair.mid(equals + 1));
    }
    throw AllocFix::Failure(AccountSetError::BadLocation,
                            u"The host property string names no account set (AcctSet=...)"_s,
                            AccountSetError::Source);
}

QString AccountSetLocation::url() const
{
    if (kind == Kind::SQLite)
        return u"sqlite:"_s + path;
    QUrl url;
    url.setScheme(u"postgresql"_s);
    url.setHost(host);
    url.setPort(port);
    url.setUserName(user);
    url.setPath(u'/' + database);
    return url.toString();
}

} // namespace FixedAssets
