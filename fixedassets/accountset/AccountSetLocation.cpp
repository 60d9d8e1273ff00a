#include "accountset/AccountSetLocation.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/OutsideText.h"
#include "host/MMTS.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <libpq-fe.h>
#include <optional>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

const QString Masked = u"***"_s;

// The parameters whose values a message may show; every other value may be a secret under a name
// the program does not know ("passwd", "password%3D...") and is masked.
bool isHarmless(QStringView name)
{
    return name == u"sslmode" || name == u"application_name" || name == u"connect_timeout";
}

// Whether libpq takes a parameter of this name. Any other it refuses with a message that names
// it, and a name may be a piece of a secret ("password=a&b=c").
bool isLibpqParameter(const QString &name)
{
    static const QStringList known = [] {
        QStringList names;
        PQconninfoOption *options = PQconndefaults();
        for (const PQconninfoOption *option = options; option && option->keyword; ++option)
            names.append(QString::fromLatin1(option->keyword));
        PQconninfoFree(options);
        return names;
    }();
    return known.contains(name);
}

// How a message names location text that did not parse. The ways to write a secret into a URL
// or a libpq key/value string are open-ended, so such text is never repeated; a file path is
// shown escaped.
QString named(const QString &text)
{
    static const QRegularExpression scheme(u"^\\s*([A-Za-z][A-Za-z0-9+.-]+):"_s);
    const QRegularExpressionMatch match = scheme.match(text);
    const QString name = match.hasMatch() ? match.captured(1).toLower() : QString();
    if (name == u"postgresql" || name == u"postgres")
        return LoadLangString(u"给出的 PostgreSQL 位置（不重复显示，其中可能含有密码）"_s);
    if (text.contains(u'=') || text.contains(u"://"_s) || (!name.isEmpty() && name != u"sqlite"))
        return LoadLangString(u"给出的位置（不重复显示，其中可能含有密码）"_s);
    return LoadLangString(u"“%1”"_s).arg(OutsideText::shown(text));
}

[[noreturn]] void raiseBadLocation(const QString &text, const QString &why)
{
    throw AllocFix::Failure(AccountSetError::BadLocation,
                            LoadLangString(u"%1不是有效的账套位置：%2"_s).arg(named(text), why),
                            AccountSetError::Source);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Percent-decodes one part of a URL. Nothing for a malformed escape, text that is not UTF-8 once
// decoded, or a NUL, which no libpq parameter can hold.
std::optional<QString> percentDecoded(QStringView part)
{
    const QByteArray bytes = part.toUtf8();
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '%') {
            decoded += bytes[i];
            continue;
        }
        const int high = i + 2 < bytes.size() ? hexValue(bytes[i + 1]) : -1;
        const int low = i + 2 < bytes.size() ? hexValue(bytes[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(decoded);
    if (utf8.hasError() || text.contains(QChar(0)))
        return std::nullopt;
    return text;
}

// Percent-encodes what would end a part of the URL or the pair of a property string.
QString percentEncoded(const QString &part)
{
    static const QString special = u"%;@:/?#&=[],+ \"'\\"_s;
    QString encoded;
    for (const QChar c : part) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || special.contains(c)) {
            encoded += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        } else {
            encoded += c;
        }
    }
    return encoded;
}

class PostgresUrlParser {
public:
    explicit PostgresUrlParser(const QString &text)
        : m_text(text)
    {}

    AccountSetLocation parse(qsizetype afterScheme)
    {
        m_location.kind = AccountSetLocation::Kind::PostgreSQL;
        QStringView rest = QStringView(m_text).mid(afterScheme);
        if (rest.contains(u'#'))
            fail(LoadLangString(u"“#”必须写作 %23"_s));
        const qsizetype question = rest.indexOf(u'?');
        const QStringView query = question < 0 ? QStringView() : rest.mid(question + 1);
        rest = question < 0 ? rest : rest.left(question);
        // The last "@" ends the user part, so a password may hold "@" and "/" unencoded.
        const qsizetype at = rest.lastIndexOf(u'@');
        if (at >= 0)
            readUserInfo(rest.left(at));
        const QStringView hostAndPath = rest.mid(at + 1);
        const qsizetype slash = hostAndPath.indexOf(u'/');
        readHostAndPort(slash < 0 ? hostAndPath : hostAndPath.left(slash));
        const QStringView path = slash < 0 ? QStringView() : hostAndPath.mid(slash + 1);
        if (path.contains(u'/'))
            fail(LoadLangString(u"数据库名不能包含“/”（请写作 %2F）"_s));
        m_location.database = decoded(path, LoadLangString(u"数据库名"_s));
        readParameters(query);

        if (m_location.database.isEmpty() && !namesService())
            fail(LoadLangString(u"URL 中没有数据库名"_s));
        failOnMisplacedSecret();
        return m_location;
    }

private:
    [[noreturn]] void fail(const QString &why) const { raiseBadLocation(m_text, why); }

    QString decoded(QStringView part, const QString &what) const
    {
        const std::optional<QString> text = percentDecoded(part);
        if (!text)
            fail(what + LoadLangString(u" 含有错误的 %-转义、不是 UTF-8 的字节或 %00"_s));
        return *text;
    }

    void readUserInfo(QStringView userInfo)
    {
        const qsizetype colon = userInfo.indexOf(u':');
        m_location.user =
            decoded(colon < 0 ? userInfo : userInfo.left(colon), LoadLangString(u"用户名"_s));
        if (colon >= 0)
            m_location.password = decoded(userInfo.mid(colon + 1), LoadLangString(u"密码"_s));
    }

    void readHostAndPort(QStringView hostPort)
    {
        if (hostPort.contains(u','))
            fail(LoadLangString(u"请只给出一个主机，不要多个"_s));
        QStringView portText;
        if (hostPort.startsWith(u'[')) {
            const qsizetype close = hostPort.indexOf(u']');
            if (close < 0)
                fail(LoadLangString(u"IPv6 地址缺少结尾的“]”"_s));
            m_location.host = decoded(hostPort.mid(1, close - 1), LoadLangString(u"主机"_s));
            const QStringView after = hostPort.mid(close + 1);
            if (!after.isEmpty() && !after.startsWith(u':'))
                fail(LoadLangString(u"IPv6 地址后应为“:端口”"_s));
            portText = after.mid(1);
        } else {
            const qsizetype colon = hostPort.indexOf(u':');
            m_location.host =
                decoded(colon < 0 ? hostPort : hostPort.left(colon), LoadLangString(u"主机"_s));
            portText = colon < 0 ? QStringView() : hostPort.mid(colon + 1);
        }
        if (!portText.isEmpty() || hostPort.endsWith(u':'))
            m_location.port = portNumber(portText);
    }

    int portNumber(QStringView text) const
    {
        static const QRegularExpression digits(u"^[0-9]{1,5}$"_s);
        const int port = digits.match(text).hasMatch() ? text.toInt() : 0;
        if (port < 1 || port > 65535)
            fail(LoadLangString(u"端口必须是 1 到 65535 之间的数字"_s));
        return port;
    }

    void readParameters(QStringView query)
    {
        static const QRegularExpression name(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
        const QList<QStringView> pairs = query.split(u'&', Qt::SkipEmptyParts);
        for (const QStringView pair : pairs) {
            const qsizetype equals = pair.indexOf(u'=');
            const QString key =
                decoded(equals < 0 ? pair : pair.left(equals), LoadLangString(u"参数名"_s));
            // Not named: a "password=" before it may have run on into it ("password=a&b").
            if (equals < 0 || !name.match(key).hasMatch())
                fail(LoadLangString(u"参数应写作 名称=值"_s));
            if (!isLibpqParameter(key))
                fail(LoadLangString(u"有一个参数不是 PostgreSQL 的连接参数"_s));
            const QString value = decoded(pair.mid(equals + 1), LoadLangString(u"参数值"_s));
            setParameter(key, value);
        }
    }

    // libpq lets the query name the parts of the URL too; the last word wins, as in libpq.
    void setParameter(const QString &key, const QString &value)
    {
        if (key == u"host" && value.contains(u','))
            fail(LoadLangString(u"请只给出一个主机，不要多个"_s));
        else if (key == u"host")
            m_location.host = value;
        else if (key == u"port")
            m_location.port = portNumber(value);
        else if (key == u"user")
            m_location.user = value;
        else if (key == u"password")
            m_location.password = value;
        else if (key == u"dbname")
            m_location.database = value;
        else if (value.contains(u';'))
            // The driver turns every ";" of its options into a space.
            fail(LoadLangString(u"参数值不能包含“;”"_s));
        else
            m_location.parameters.append({key, value});
    }

    // "postgresql://h/db&passwd=x" (a "?" missed) makes the password part of what messages
    // show, the database name here.
    void failOnMisplacedSecret() const
    {
        for (const QString &part : {m_location.user, m_location.host, m_location.database}) {
            if (part.contains(u'='))
                fail(LoadLangString(u"“=” 只能出现在“?”之后的参数中"_s));
        }
        for (const auto &[key, value] : m_location.parameters) {
            if (isHarmless(key) && value.contains(u"password="_s, Qt::CaseInsensitive))
                fail(LoadLangString(u"“password=” 只能作为“?”之后的参数出现"_s));
        }
    }

    bool namesService() const
    {
        for (const auto &[key, value] : m_location.parameters) {
            if (key == u"service")
                return true;
        }
        return qEnvironmentVariableIsSet("PGSERVICE") || qEnvironmentVariableIsSet("PGDATABASE");
    }

    const QString &m_text;
    AccountSetLocation m_location;
};

AccountSetLocation parseSQLite(const QString &text, const QString &path)
{
    if (path.isEmpty())
        raiseBadLocation(text, LoadLangString(u"SQLite 文件路径为空"_s));
    // The property string separates its pairs with ";", so such a path could not travel in it.
    if (path.contains(u';'))
        raiseBadLocation(text, LoadLangString(u"文件路径不能包含“;”"_s));
    if (path.contains(QChar(0)))
        raiseBadLocation(text, LoadLangString(u"文件路径不能包含 NUL 字符"_s));
    // A connection string typed as a location ("host=db password = ..."): taken as a path, its
    // password would show in every message that names the file.
    if (path.contains(u'=') && !QFileInfo::exists(path)) {
        raiseBadLocation(text,
                         LoadLangString(u"它像是连接字符串，不是文件路径；PostgreSQL 账套请写作 "
                                        "postgresql://用户@主机/数据库"_s));
    }
    // "dir/", "dir/." and "dir/.." name folders whether they exist or not.
    const QString last = path.section(u'/', -1);
    if (last.isEmpty() || last == u"." || last == u"..")
        raiseBadLocation(text, LoadLangString(u"它指向一个文件夹；请指定其中的账套文件"_s));
    AccountSetLocation location;
    // Joined by hand: Qt reads a path that starts with ":" as one of its resources.
    location.path =
        QDir::cleanPath(path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path);
    return location;
}

} // namespace

AccountSetLocation AccountSetLocation::parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        raiseBadLocation(text, LoadLangString(u"它是空的"_s));
    // Two letters at least, so that no drive letter passes for a scheme.
    static const QRegularExpression schemePattern(u"^([A-Za-z][A-Za-z0-9+.-]+):"_s);
    const QRegularExpressionMatch scheme = schemePattern.match(trimmed);
    if (!scheme.hasMatch())
        return parseSQLite(text, trimmed);
    const QString name = scheme.captured(1).toLower();
    if (name == u"sqlite")
        return parseSQLite(text, trimmed.mid(scheme.capturedLength()));
    if (name == u"postgresql" || name == u"postgres") {
        if (!QStringView(trimmed).mid(scheme.capturedLength()).startsWith(u"//"))
            raiseBadLocation(text, LoadLangString(u"应为 postgresql://用户@主机:端口/数据库"_s));
        return PostgresUrlParser(trimmed).parse(scheme.capturedLength() + 2);
    }
    throw AllocFix::Failure(
        AccountSetError::BadLocation,
        LoadLangString(
            u"%1是不支持的位置：请使用文件路径、sqlite:路径 或 postgresql://用户@主机:端口/数据库"_s)
            .arg(named(text)),
        AccountSetError::Source);
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
                            LoadLangString(u"主机属性串中没有指定账套（AcctSet=...）"_s),
                            AccountSetError::Source);
}

QString AccountSetLocation::url() const
{
    return canonical(false);
}

QString AccountSetLocation::shown() const
{
    return OutsideText::shown(canonical(true));
}

QString AccountSetLocation::canonical(bool withMaskedSecrets) const
{
    if (kind == Kind::SQLite)
        return u"sqlite:"_s + path;
    QString url = u"postgresql://"_s;
    if (!user.isEmpty() || (withMaskedSecrets && !password.isEmpty())) {
        url += percentEncoded(user);
        if (withMaskedSecrets && !password.isEmpty())
            url += u':' + Masked;
        url += u'@';
    }
    static const QRegularExpression ipv6(u"^[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*$"_s);
    if (ipv6.match(host).hasMatch())
        url += u'[' + host + u']';
    else
        url += percentEncoded(host);
    if (port >= 0)
        url += u':' + QString::number(port);
    url += u'/' + percentEncoded(database);
    QStringList pairs;
    for (const auto &[key, value] : parameters) {
        if (withMaskedSecrets && !isHarmless(key))
            pairs.append(key + u'=' + Masked);
        else if (!isSecret(key))
            pairs.append(key + u'=' + percentEncoded(value));
    }
    if (!pairs.isEmpty())
        url += u'?' + pairs.join(u'&');
    return url;
}

bool AccountSetLocation::isSecret(QStringView name)
{
    // password and sslpassword; any other name so ended is one libpq refuses, but its value was
    // meant as a secret all the same
    return name.endsWith(u"password", Qt::CaseInsensitive);
}

} // namespace FixedAssets
