#pragma once

#include <QString>

#include <array>

class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace AllocFix {

class ControlAnchors;
class SplitBars;

// The controls of one loaded wizard form. Control arrays keep the host's indices: fraStep[0..2],
// lblInfo[1..3] and lblHelp[2..3]; unused slots are null.
struct WizardControls {
    std::array<QFrame *, 3> fraStep{};
    std::array<QLabel *, 4> lblInfo{};
    std::array<QLabel *, 4> lblHelp{};

    // The button bar
    QPushButton *btHelp = nullptr;
    QPushButton *btPrev = nullptr;
    QPushButton *btNext = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *btCancel = nullptr;
    QFrame *Frame1 = nullptr;

    // Page 0: introduction
    QLabel *imgTip = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label7 = nullptr;

    // Page 1: check and adjust
    QLabel *imgStep = nullptr;
    QPushButton *btCheckCard = nullptr;
    QPushButton *btUpdate = nullptr;
    QPlainTextEdit *CheckInfo = nullptr;
    QLabel *lblProgress = nullptr;

    // Page 2: manual adjustment
    QLabel *Label3 = nullptr;
    QListWidget *listInfo = nullptr;
    QPushButton *cmdView = nullptr;
    QLabel *Label2 = nullptr;
    QTreeWidget *lvDept = nullptr;
    QLabel *Label1 = nullptr;
    QTreeWidget *lvExpense = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QLabel *lblTotal = nullptr;
    QLabel *lblCurrent = nullptr;
    QPushButton *cmdFirst = nullptr;
    QPushButton *cmdPrevious = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdLast = nullptr;
    QPushButton *cmdFinish = nullptr;
    // Beside the specified controls: each department's allocated share under lvExpense, and the
    // command that copies the card's rows to the cards allocated alike.
    QLabel *lblRateTotals = nullptr;
    QPushButton *cmdCopy = nullptr;
    // The same shares as bars, in the totals line's place once the form has grown enough.
    SplitBars *splitBars = nullptr;

    // Builds every control in its design state on client, which spans the form's client area.
    static WizardControls create(QWidget *client);
    // How the controls follow a grown form: the lists and the card's information take the room,
    // the buttons keep their size and order and move with the edges they stand at. The pages
    // themselves are not anchored: their left edge says which one is shown.
    void anchor(ControlAnchors &anchors) const;

    // Makes room in the row of the card counts for the widest texts lblTotal and lblCurrent will
    // show. While they fit, the row keeps its design places; otherwise the two labels widen and
    // the card commands after them narrow, keeping their gaps, their right edge and their
    // proportions.
    void fitCountRow(const QString &widestTotal, const QString &widestCurrent);
};

} // namespace AllocFix
