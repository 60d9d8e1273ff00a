#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

class QLabel;
class QLineEdit;
class QObject;

// A code field: a text box in which the user types or looks up an account code, and its label.
// The box's tag holds the chosen ID ("0" or empty for none). While the box has the focus and is
// not locked (read-only) it shows the code and the label's tag holds the name; otherwise it shows
// the name and the label's tag holds the code. The box counts as focused when it is the
// application's focus widget.
namespace AllocFix {

struct CodeField {
    QLineEdit *box = nullptr;
    QLabel *label = nullptr;
};

struct CodeFieldValue {
    qint32 id = 0;
    QString number;
    QString name;
};

// Resolves the typed code by calling method on lookup by name with the further arguments (none,
// one or two; a "GetItem" call whose second argument is a text gets an omitted argument between
// the two). idProperty (empty becomes "ID") names the answer's property that holds the ID.
// Returns true when the caller must keep the focus in the box: the code was not found (its text
// is then selected) or is not a detail-level code (the box is then emptied); the user has been
// told. A failing lookup raises, with the field holding no ID, for the caller to report.
bool ResolveCodeField(const CodeField &field, QObject *lookup, const QString &method,
                      QString &idProperty, const QVariantList &arguments);

// Runs the lookup dialog behind method of lookupUi (none, one or two further arguments) and puts
// a confirmed choice into the field; the focus goes into the box, also when the user cancelled.
// Returns the lookup's answer when the user confirmed a choice (its "ReturnObject" is the chosen
// object), else null. Failures end it quietly, with the answer reached so far.
std::unique_ptr<QObject> LookupCodeField(const CodeField &field, QObject *lookupUi,
                                         const QString &method, const QVariantList &arguments);

// Swap between showing the name and the code as the box gains and loses the focus. A locked or
// blank box is left alone.
void CodeFieldGotFocus(const CodeField &field);
void CodeFieldLostFocus(const CodeField &field);

// ShowCodeField puts an ID, code and name into the field; ReadCodeField gives them back, whatever
// the focus. A blank box reads as ID 0 with empty texts; an ID of 0 or less shows nothing.
CodeFieldValue ReadCodeField(const CodeField &field);
void ShowCodeField(const CodeField &field, qint32 id, const QString &number, const QString &name);

} // namespace AllocFix
