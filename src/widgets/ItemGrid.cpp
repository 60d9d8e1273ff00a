#include "widgets/ItemGrid.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "widgets/LookupPicture.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

constexpr int DataRole = Qt::UserRole + 1;
const QString ChooseHint = u"双击或按 F7 选择核算项目"_s;

// The square button at the right end of an item cell.
QRect buttonRectIn(const QRect &cell)
{
    const int side = cell.height() - 2;
    return {cell.right() - side, cell.top() + 1, side, side};
}

} // namespace

// Paints the lookup button in every item cell and turns a click on it into a request.
class ChooseButtonDelegate final : public QStyledItemDelegate {
public:
    explicit ChooseButtonDelegate(ItemGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        if (!offersButton(index)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect button = buttonRectIn(option.rect);
        QStyleOptionViewItem textOption = option;
        textOption.rect.setRight(button.left() - 1);
        QStyledItemDelegate::paint(painter, textOption, index);

        QStyleOptionButton buttonOption;
        buttonOption.rect = button;
        buttonOption.icon = lookupPicture();
        buttonOption.iconSize = button.size() - QSize(4, 4);
        buttonOption.state = QStyle::State_Enabled | QStyle::State_Raised;
        buttonOption.fontMetrics = option.fontMetrics;
        QStyle *style = m_grid->style();
        style->drawControl(QStyle::CE_PushButton, &buttonOption, painter, m_grid);
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        const bool press = event->type() == QEvent::MouseButtonPress;
        const bool release = event->type() == QEvent::MouseButtonRelease;
        if ((press || release) && offersButton(index)) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                buttonRectIn(option.rect).contains(mouse->position().toPoint())) {
                // A click is a press and a release on the same button.
                if (press)
                    m_pressed = index;
                else if (m_pressed == index)
                    m_grid->requestItem(index.row());
                if (release)
                    m_pressed = QPersistentModelIndex();
                return true;
            }
        }
        if (release)
            m_pressed = QPersistentModelIndex();
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    bool offersButton(const QModelIndex &index) const
    {
        return index.column() == ItemGrid::ItemColumn - 1 && m_grid->isEnabled() &&
               !m_grid->isLocked();
    }

    ItemGrid *m_grid;
    QPersistentModelIndex m_pressed;
};

ItemGrid::ItemGrid(QWidget *parent)
    : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderItem(0, new QTableWidgetItem(u"核算类别"_s));
    setHorizontalHeaderItem(1, new QTableWidgetItem(u"名称"_s));
    setItemDelegate(new ChooseButtonDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int dataRow, int column) {
        if (column == ItemColumn - 1)
            requestItem(dataRow);
    });
}

int ItemGrid::rows() const
{
    return headerRows() + rowCount();
}

void ItemGrid::setRows(int total)
{
    setRowCount(std::max(total - headerRows(), 0));
}

QTableWidgetItem *ItemGrid::cell(int row, int column) const
{
    if (row < 1 || row > rows() || column < ClassColumn || column > ItemColumn) {
        throw Failure(ErrorNumber::SubscriptOutOfRange,
                      MMTS::LoadLangString(u"表格没有单元格（%1, %2）"_s).arg(row).arg(column));
    }
    if (row <= headerRows())
        return horizontalHeaderItem(column - 1);
    return item(row - headerRows() - 1, column - 1);
}

QTableWidgetItem *ItemGrid::cellForWriting(int row, int column)
{
    if (QTableWidgetItem *existing = cell(row, column))
        return existing;
    auto *created = new QTableWidgetItem;
    created->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (column == ItemColumn)
        created->setToolTip(MMTS::LoadLangString(ChooseHint));
    setItem(row - headerRows() - 1, column - 1, created);
    return created;
}

QString ItemGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *found = cell(row, column);
    return found ? found->text() : QString();
}

void ItemGrid::setCellText(int row, int column, const QString &text)
{
    cellForWriting(row, column)->setText(text);
}

QVariant ItemGrid::cellData(int row, int column) const
{
    const QTableWidgetItem *found = cell(row, column);
    return found ? found->data(DataRole) : QVariant();
}

void ItemGrid::setCellData(int row, int column, const QVariant &data)
{
    cellForWriting(row, column)->setData(DataRole, data);
}

void ItemGrid::setLocked(bool locked)
{
    m_locked = locked;
    viewport()->update();
}

void ItemGrid::localiseCaptions()
{
    for (int column = 0; column < columnCount(); ++column) {
        QTableWidgetItem *header = horizontalHeaderItem(column);
        header->setText(MMTS::LoadLangString2(header->text()));
    }
    // No label stands before the grid.
    setAccessibleName(MMTS::LoadLangString(u"核算项目"_s));
}

QRect ItemGrid::chooseButtonRect(int row) const
{
    if (!isEnabled() || m_locked || row <= headerRows() || row > rows())
        return {};
    return buttonRectIn(visualRect(model()->index(row - headerRows() - 1, ItemColumn - 1)));
}

void ItemGrid::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool chooseKey =
        key == Qt::Key_F7 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (chooseKey && currentColumn() == ItemColumn - 1 && currentRow() >= 0) {
        requestItem(currentRow());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void ItemGrid::requestItem(int dataRow)
{
    if (m_locked || !isEnabled())
        return;
    setCurrentCell(dataRow, ItemColumn - 1);
    qint32 row = dataRow + headerRows() + 1;
    Q_EMIT CellNotify(ChooseItemAction, row, ItemColumn, 0);
}

} // namespace AllocFix
