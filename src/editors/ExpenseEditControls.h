#pragma once

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace AllocFix {

class ControlAnchors;
class ItemGrid;
class RateBox;

// The controls of one loaded expense editor, in their design state.
struct ExpenseEditControls {
    QLabel *lblDept = nullptr;
    // Read-only; its tag "N" keeps it out of ClearControls.
    QLineEdit *txtDept = nullptr;
    QToolButton *btDept = nullptr;
    QLabel *lblExpenseAcct = nullptr;
    QLineEdit *txtExpenseAcct = nullptr;
    QToolButton *btExpenseAcct = nullptr;
    ItemGrid *kgItem = nullptr;
    QLabel *Label1 = nullptr;
    // Locked means read-only.
    RateBox *fltRate = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *btSave = nullptr;
    QPushButton *btClose = nullptr;
    // Hidden and never shown; no action is bound to it.
    QPushButton *btAdd = nullptr;

    // Builds every control on client, which spans the form's client area.
    static ExpenseEditControls create(QWidget *client);
    // On a grown form the item grid takes the room; the fields widen, the rate and the buttons
    // keep their size and move with the edge they stand at.
    void anchor(ControlAnchors &anchors) const;
};

} // namespace AllocFix
