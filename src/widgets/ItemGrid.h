#pragma once

#include <QTableWidget>
#include <QVariant>

namespace AllocFix {

// The accounting item grid: a header row with the column captions, then one row per accounting
// item class, column 1 the class and column 2 the chosen item. Cells are addressed the way the
// host's grid addresses them: rows 1..headerRows() are the header, data rows follow up to
// rows(); columns are 1 and 2. Each cell has a display text and a hidden data value.
//
// The user asks to choose the item of a row by double-clicking its item cell, by the lookup
// button in that cell, or with F7, Enter or Space on it; the grid then raises CellNotify with
// ChooseItemAction in ItemColumn. A locked grid shows its rows but raises no such request.
class ItemGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr qint32 ChooseItemAction = 4098;
    static constexpr int ClassColumn = 1;
    static constexpr int ItemColumn = 2;

    explicit ItemGrid(QWidget *parent = nullptr);

    int headerRows() const { return 1; }
    // All rows, header rows included.
    int rows() const;
    // Never fewer than the header rows; new data rows start with empty cells.
    void setRows(int total);

    // Failure 9 for a cell outside the grid.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    QVariant cellData(int row, int column) const;
    void setCellData(int row, int column, const QVariant &data);

    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);

    // Puts LoadLangString2 of each column caption on the header, as for list column headers.
    void localiseCaptions();

    // Where the lookup button of a data row's item cell is, in viewport coordinates; empty while
    // the grid offers no choice (locked or disabled).
    QRect chooseButtonRect(int row) const;

Q_SIGNALS:
    // The host grid's cell notification: an action code, the row (which a handler may change),
    // the column and a further value that carries nothing here.
    void CellNotify(qint32 action, qint32 &row, qint32 column, qint32 value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class ChooseButtonDelegate;

    QTableWidgetItem *cell(int row, int column) const;
    QTableWidgetItem *cellForWriting(int row, int column);
    void requestItem(int dataRow);

    bool m_locked = false;
};

} // namespace AllocFix
