#include "records/FieldValue.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QLocale>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

[[noreturn]] void raiseTypeMismatch(const QString &what)
{
    throw Failure(ErrorNumber::TypeMismatch, MMTS::LoadLangString(u"类型不匹配：%1"_s).arg(what));
}

double parseNumber(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        raiseTypeMismatch(MMTS::LoadLangString(u"“%1”不是数字"_s).arg(text));
    return number;
}

qint32 roundToInt(double number)
{
    const double rounded = std::nearbyint(number); // half to even in the default rounding mode
    if (!(rounded >= std::numeric_limits<qint32>::min() &&
          rounded <= std::numeric_limits<qint32>::max())) {
        throw Failure(
            ErrorNumber::Overflow,
            MMTS::LoadLangString(u"溢出：%1 超出 32 位整数的范围"_s).arg(formatNumber(number)));
    }
    return static_cast<qint32>(rounded);
}

} // namespace

qint32 FieldValue::toInt() const
{
    return std::visit(
        [](const auto &v) -> qint32 {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return 0;
            else if constexpr (std::is_same_v<T, qint32>)
                return v;
            else if constexpr (std::is_same_v<T, double>)
                return roundToInt(v);
            else if constexpr (std::is_same_v<T, QString>)
                return roundToInt(parseNumber(v));
            else
                raiseTypeMismatch(MMTS::LoadLangString(u"列表不是数字"_s));
        },
        m_value);
}

double FieldValue::toDouble() const
{
    return std::visit(
        [](const auto &v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return 0.0;
            else if constexpr (std::is_same_v<T, qint32> || std::is_same_v<T, double>)
                return v;
            else if constexpr (std::is_same_v<T, QString>)
                return parseNumber(v);
            else
                raiseTypeMismatch(MMTS::LoadLangString(u"列表不是数字"_s));
        },
        m_value);
}

QString FieldValue::toText() const
{
    return std::visit(
        [](const auto &v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return {};
            else if constexpr (std::is_same_v<T, qint32>)
                return QString::number(v);
            else if constexpr (std::is_same_v<T, double>)
                return formatNumber(v);
            else if constexpr (std::is_same_v<T, QString>)
                return v;
            else
                raiseTypeMismatch(MMTS::LoadLangString(u"列表不是文本"_s));
        },
        m_value);
}

RecordList FieldValue::toList() const
{
    if (const auto *list = std::get_if<RecordList>(&m_value))
        return *list;
    if (isEmpty())
        return {};
    raiseTypeMismatch(MMTS::LoadLangString(u"该值不是列表"_s));
}

QVariant FieldValue::toVariant() const
{
    return std::visit(
        [](const auto &v) -> QVariant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return {};
            else
                return QVariant::fromValue(v);
        },
        m_value);
}

FieldValue FieldValue::fromVariant(const QVariant &value)
{
    if (!value.isValid())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return FieldValue(value.toBool() ? qint32(-1) : qint32(0));
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return FieldValue(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const double number = value.toDouble();
        return FieldValue(roundToInt(number));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldValue(value.toDouble());
    case QMetaType::QString:
        return FieldValue(value.toString());
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<RecordList>())
        return FieldValue(value.value<RecordList>());
    if (value.metaType() == QMetaType::fromType<FieldValue>())
        return value.value<FieldValue>();
    raiseTypeMismatch(MMTS::LoadLangString(u"%1 类型不能作为字段值"_s)
                          .arg(QString::fromLatin1(value.typeName())));
}

bool FieldValue::operator==(const FieldValue &other) const
{
    return m_value == other.m_value;
}

QString formatNumber(double value)
{
    if (value == 0.0)
        return u"0"_s;
    QString text = QString::number(value, 'g', 15);
    text.replace(u'e', u'E');
    return text;
}

double numberOrZero(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? number : 0.0;
}

} // namespace AllocFix
