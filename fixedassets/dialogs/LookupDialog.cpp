#include "dialogs/LookupDialog.h"

#include "dialogs/HostDialog.h"
#include "forms/Captions.h"
#include "host/MMTS.h"
#include "widgets/ReportList.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

LookupDialog::LookupDialog(const QString &title, QList<CodedEntry> entries, bool markDetail,
                           QWidget *parent)
    : QDialog(parent)
    , m_entries(std::move(entries))
{
    setObjectName(u"frmLookup"_s);
    setWindowTitle(title);
    setModal(true);
    resize(520, 420);

    auto *filterLabel = new QLabel(LoadLangString(u"查找："_s), this);
    filterLabel->setObjectName(u"lblFilter"_s);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"txtFilter"_s);
    m_filter->setClearButtonEnabled(true);
    // The line edit makes the clear button itself, as a picture without a name.
    for (QToolButton *clear : m_filter->findChildren<QToolButton *>()) {
        clear->setObjectName(u"cmdClearFilter"_s);
        clear->setAccessibleName(LoadLangString(u"清除"_s));
    }
    m_filter->setPlaceholderText(LoadLangString(u"输入编码或名称的一部分"_s));
    filterLabel->setBuddy(m_filter);
    m_filter->installEventFilter(this);

    QStringList headers{u"编码"_s, u"名称"_s};
    if (markDetail)
        headers.append(u"明细"_s);
    m_list = AllocFix::createReportList(this, u"lvLookup"_s, headers);
    m_list->setAccessibleName(title);
    AllocFix::localiseColumnHeaders(m_list);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, 120);

    const QString notDetail = LoadLangString(u"非明细"_s);
    const QString detail = LoadLangString(u"是"_s);
    for (qsizetype index = 0; index < m_entries.size(); ++index) {
        const CodedEntry &entry = m_entries[index];
        auto *row = new QTreeWidgetItem(m_list, {entry.number, entry.name});
        AllocFix::setRowTag(row, QString::number(index));
        if (markDetail) {
            row->setText(2, entry.detail ? detail : notDetail);
            if (!entry.detail) {
                for (int column = 0; column < 3; ++column)
                    row->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
            }
        }
    }

    QPushButton *ok = HostDialog::addButton(this, u"cmdOK"_s, u"确定"_s);
    QPushButton *cancel = HostDialog::addButton(this, u"cmdCancel"_s, u"取消"_s);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    auto *content = new QVBoxLayout;
    content->setContentsMargins(0, 0, 0, 0);
    content->addLayout(filterRow);
    content->addWidget(m_list, 1);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        try {
            applyFilter(text);
        } catch (...) {
            // The list keeps its last filter.
        }
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { confirm(); });
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    HostDialog::finish(this, content, {ok, cancel});
    m_filter->setFocus();
    if (m_list->topLevelItemCount() > 0)
        select(m_list->topLevelItem(0));
}

void LookupDialog::startAt(qint32 id, const QString &text)
{
    QTreeWidgetItem *start = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount() && !start; ++i) {
        QTreeWidgetItem *row = m_list->topLevelItem(i);
        const CodedEntry &entry = m_entries[AllocFix::rowTag(row).toInt()];
        if (text.isEmpty() ? entry.id == id : entry.number.startsWith(text, Qt::CaseInsensitive))
            start = row;
    }
    if (start)
        select(start);
}

const CodedEntry *LookupDialog::chosen() const
{
    return m_chosen >= 0 ? &m_entries[m_chosen] : nullptr;
}

bool LookupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_filter || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The list moves while the user keeps typing in the filter.
        QCoreApplication::sendEvent(m_list, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void LookupDialog::applyFilter(const QString &text)
{
    const QString wanted = text.trimmed();
    QTreeWidgetItem *firstShown = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_list->topLevelItem(i);
        const CodedEntry &entry = m_entries[AllocFix::rowTag(row).toInt()];
        const bool shown = wanted.isEmpty() || entry.number.contains(wanted, Qt::CaseInsensitive) ||
                           entry.name.contains(wanted, Qt::CaseInsensitive);
        row->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = row;
    }
    QTreeWidgetItem *current = m_list->currentItem();
    if (!current || current->isHidden())
        select(firstShown);
}

void LookupDialog::confirm()
{
    QTreeWidgetItem *row = m_list->currentItem();
    if (!row || row->isHidden() || !row->isSelected())
        return;
    m_chosen = AllocFix::rowTag(row).toInt();
    accept();
}

void LookupDialog::select(QTreeWidgetItem *row)
{
    m_list->setCurrentItem(row);
    if (row) {
        row->setSelected(true);
        m_list->scrollToItem(row);
    } else {
        m_list->clearSelection();
    }
}

} // namespace FixedAssets
