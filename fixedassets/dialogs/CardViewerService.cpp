#include "dialogs/CardViewerService.h"

#include "accountset/AccountSetErrors.h"
#include "dialogs/HostDialog.h"
#include "forms/Captions.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"
#include "widgets/ReportList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include <utility>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// Amounts are shown with two decimals; other numbers in their plain form.
const QStringList MoneyFields{u"FOriginalValue"_s, u"FAccumulatedDepreciation"_s, u"FNetValue"_s};

QString textOf(const QString &field, const AllocFix::FieldValue &value)
{
    if (value.isList())
        return u"(%1)"_s.arg(value.toList() ? value.toList().count() : 0);
    if (value.isDouble() && MoneyFields.contains(field))
        return QLocale(QLocale::English).toString(value.toDouble(), 'f', 2);
    return value.toText();
}

} // namespace

void CardViewerService::ShowCard()
{
    if (!m_detail) {
        throw AllocFix::Failure(AccountSetError::NotSupported,
                                LoadLangString(u"卡片查看器没有得到要显示的卡片"_s),
                                AccountSetError::Source);
    }
    CardViewerDialog dialog(m_detail, HostDialog::owner());
    dialog.exec();
}

QString CardViewerDialog::labelOf(const QString &field)
{
    static const QList<std::pair<QString, QString>> labels{
        {AllocFix::Fields::FAlterID, u"卡片内码"_s},
        {AllocFix::Fields::FAssetNumber, u"资产编码"_s},
        {AllocFix::Fields::FAssetName, u"资产名称"_s},
        {AllocFix::Fields::FDate, u"入账日期"_s},
        {u"FCategory"_s, u"资产类别"_s},
        {u"FModel"_s, u"规格型号"_s},
        {u"FLocation"_s, u"存放地点"_s},
        {u"FOriginalValue"_s, u"原值"_s},
        {u"FAccumulatedDepreciation"_s, u"累计折旧"_s},
        {u"FNetValue"_s, u"净值"_s},
        {u"FUsefulLife"_s, u"使用年限(月)"_s},
        {u"FDepreciationMethod"_s, u"折旧方法"_s},
        {u"FStatus"_s, u"使用状况"_s},
        {u"FDepartments"_s, u"使用部门"_s},
    };
    for (const auto &[name, label] : labels) {
        if (name == field)
            return LoadLangString(label);
    }
    return field;
}

CardViewerDialog::CardViewerDialog(const AllocFix::FieldRecord &detail, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"frmCardView"_s);
    setWindowTitle(LoadLangString(u"卡片查看"_s));
    setModal(true);
    resize(480, 420);

    QTreeWidget *list = AllocFix::createReportList(this, u"lvDetail"_s, {u"项目"_s, u"内容"_s});
    AllocFix::localiseColumnHeaders(list);
    list->header()->setStretchLastSection(true);
    const QStringList names = detail.names();
    for (const QString &name : names) {
        auto *row = new QTreeWidgetItem(list, {labelOf(name), textOf(name, detail.value(name))});
        row->setToolTip(1, row->text(1));
    }
    // Labels are longer in some languages than in others.
    list->resizeColumnToContents(0);
    list->setColumnWidth(0, qMax(150, list->columnWidth(0) + 16));

    QPushButton *close = HostDialog::addButton(this, u"cmdClose"_s, u"关闭"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    HostDialog::finish(this, list, {close});
}

} // namespace FixedAssets
