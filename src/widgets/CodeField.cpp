#include "widgets/CodeField.h"

#include "forms/Hourglass.h"
#include "host/ByName.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "host/SpaceTrim.h"
#include "records/FieldValue.h"
#include "widgets/ControlTag.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <optional>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

constexpr qsizetype MostFurtherArguments = 2;

// The call's argument list, or none when there are more further arguments than a lookup takes.
// "GetItem" takes its optional middle argument between a number and a text.
std::optional<QVariantList> callArguments(const QString &method, const QVariantList &further,
                                          bool withGetItem)
{
    if (further.size() > MostFurtherArguments)
        return std::nullopt;
    if (withGetItem && further.size() == 2 && method == u"GetItem" &&
        further.at(1).metaType() == QMetaType::fromType<QString>()) {
        return QVariantList{further.at(0), missingArgument(), further.at(1)};
    }
    return further;
}

QString textOf(const QVariant &value)
{
    return FieldValue::fromVariant(value).toText();
}

bool isFocused(const QLineEdit *box)
{
    return QApplication::focusWidget() == box;
}

// Whether the box shows the code rather than the name.
bool showsCode(const QLineEdit *box)
{
    return isFocused(box) && !box->isReadOnly();
}

void swapNameAndCode(const CodeField &field, bool selectText)
{
    if (field.box->isReadOnly())
        return;
    const QString typed = trimSpaces(field.box->text());
    if (typed.isEmpty())
        return;
    const QString other = controlTag(field.label);
    setControlTag(field.label, typed);
    field.box->setText(other);
    if (selectText)
        field.box->selectAll();
    field.box->setToolTip(controlTag(field.label));
}

} // namespace

bool ResolveCodeField(const CodeField &field, QObject *lookup, const QString &method,
                      QString &idProperty, const QVariantList &arguments)
{
    std::optional<Hourglass> hourglass;
    try {
        hourglass.emplace();
        if (idProperty.isEmpty())
            idProperty = u"ID"_s;
        QLineEdit *box = field.box;
        if (box->isReadOnly())
            return false;
        if (trimSpaces(box->text()).isEmpty()) {
            setControlTag(field.label, QString());
            setControlTag(box, QString());
            return false;
        }
        std::optional<QVariantList> callArgs = callArguments(method, arguments, true);
        if (!callArgs)
            return false;
        const std::unique_ptr<QObject> answer = ByName::callForObject(lookup, method, *callArgs);
        hourglass.reset();

        if (!answer) {
            showInputFault(MMTS::LoadLangString(u"未找到编码对应的数据！"_s), box->window());
            box->setSelection(0, static_cast<int>(box->text().size()));
            return true;
        }
        if (!ByName::property(answer.get(), u"detail"_s).toBool()) {
            showInputFault(MMTS::LoadLangString(u"编码“"_s) + box->text() +
                               MMTS::LoadLangString(u"”不是最明细级的编码！"_s),
                           box->window());
            box->clear();
            return true;
        }
        setControlTag(box, textOf(ByName::property(answer.get(), idProperty)));
        setControlTag(field.label, textOf(ByName::property(answer.get(), u"name"_s)));
        return false;
    } catch (...) {
        return false;
    }
}

std::unique_ptr<QObject> LookupCodeField(const CodeField &field, QObject *lookupUi,
                                         const QString &method, const QVariantList &arguments)
{
    QLineEdit *box = field.box;
    const bool focused = isFocused(box);
    std::unique_ptr<QObject> answer;
    bool confirmed = false;
    try {
        std::optional<QVariantList> callArgs = callArguments(method, arguments, false);
        if (!callArgs)
            return nullptr;
        answer = ByName::callForObject(lookupUi, method, *callArgs);
        if (!answer)
            return nullptr;
        if (ByName::property(answer.get(), u"ReturnOK"_s).toBool()) {
            setControlTag(box, textOf(ByName::property(answer.get(), u"ReturnValue"_s)));
            const QObject *chosen = ByName::objectProperty(answer.get(), u"ReturnObject"_s);
            const QString name = textOf(ByName::property(chosen, u"name"_s));
            const QString number = textOf(ByName::property(chosen, u"number"_s));
            if (box->isReadOnly() || !focused) {
                box->setText(name);
                setControlTag(field.label, number);
            } else {
                box->setText(number);
                box->selectAll();
                setControlTag(field.label, name);
            }
            confirmed = true;
        }
        box->setFocus();
    } catch (...) {
        // Ends quietly; a choice already put into the field stays.
    }
    return confirmed ? std::move(answer) : nullptr;
}

void CodeFieldGotFocus(const CodeField &field)
{
    swapNameAndCode(field, true);
}

void CodeFieldLostFocus(const CodeField &field)
{
    swapNameAndCode(field, false);
}

CodeFieldValue ReadCodeField(const CodeField &field)
{
    const QString typed = trimSpaces(field.box->text());
    if (typed.isEmpty())
        return {};
    const QString other = trimSpaces(controlTag(field.label));
    const bool code = showsCode(field.box);
    return {FieldValue(numberOrZero(controlTag(field.box))).toInt(), code ? typed : other,
            code ? other : typed};
}

void ShowCodeField(const CodeField &field, qint32 id, const QString &number, const QString &name)
{
    if (id > 0) {
        const bool code = showsCode(field.box);
        setControlTag(field.box, QString::number(id));
        field.box->setText(code ? number : name);
        setControlTag(field.label, code ? name : number);
    } else {
        setControlTag(field.box, u"0"_s);
        setControlTag(field.label, QString());
        field.box->clear();
    }
}

} // namespace AllocFix
