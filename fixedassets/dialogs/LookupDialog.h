#pragma once

#include "services/LookupObjects.h"

#include <QDialog>
#include <QList>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace FixedAssets {

// A modal pick list of accounts or items: a filter box ("txtFilter") that narrows the list
// ("lvLookup") to the entries whose number or name contains the typed text, and "cmdOK" /
// "cmdCancel". Enter or a double click confirms; the arrow keys move through the list while the
// filter box has the focus. Non-detail entries are listed greyed and marked, and can be chosen:
// whoever asked decides whether to accept them.
class LookupDialog final : public QDialog {
    Q_OBJECT
public:
    LookupDialog(const QString &title, QList<CodedEntry> entries, bool markDetail,
                 QWidget *parent = nullptr);

    // Selects the entry with this ID, or else the first whose number starts with text.
    void startAt(qint32 id, const QString &text = {});
    // The confirmed entry, or nullptr.
    const CodedEntry *chosen() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFilter(const QString &text);
    void confirm();
    void select(QTreeWidgetItem *row);

    QList<CodedEntry> m_entries;
    QLineEdit *m_filter = nullptr;
    QTreeWidget *m_list = nullptr;
    int m_chosen = -1;
};

} // namespace FixedAssets
