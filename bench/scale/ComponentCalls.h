#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace AllocFix {
class frmUpdateData;
}

// Every call the benchmark makes on the component and its service contracts, in one place, so
// that a change of the component's interfaces is met here alone.
namespace Bench::Component {

// Shows the wizard as a host does (ShowUpdate.ShowExportFrm), runs steps once it is up and closes
// it. Returns when the wizard is gone; rethrows what steps threw.
void runWizard(const std::function<void(AllocFix::frmUpdateData &wizard)> &steps);
// Clicks a button of the wizard, then lets it paint.
void click(AllocFix::frmUpdateData &wizard, const QString &button);
// From the introduction to the manual page: Next, then "开始调整".
void openManualPage(AllocFix::frmUpdateData &wizard);
qsizetype manualCardCount(const AllocFix::frmUpdateData &wizard);
// Rows of the current card's expense list.
int shownExpenseRows(const AllocFix::frmUpdateData &wizard);

struct LoadedRows {
    qint64 cards = 0;
    qint64 rows = 0;
    qint64 items = 0;
};
// Loads the rows of every card not shown yet, as a visit loads them (GetExpense, then AllDict
// and dirtVect), and counts the rows held for all cards.
LoadedRows loadEveryCard(AllocFix::frmUpdateData &wizard,
                         const std::function<void(qsizetype done)> &progress);
// Gives every card a valid allocation, as a user would: a row per department of the card, made
// from the card's legacy rows in turn, its department item set to that department, at 100 %.
// validate() and save() then take the wizard's manual step as it stands.
void allocateEveryCard(AllocFix::frmUpdateData &wizard);

// The copy command on the card the wizard shows ("cmdCopy"), from the click to its dialog shown,
// which is then cancelled. Answers how many cards the dialog lists, and whether it names cards
// it could not read; nothing when no card is alike (the command then says so in a message).
struct CopyTargets {
    qsizetype alike = 0;
    bool unreadable = false;
};
CopyTargets copyThroughTheWizard(AllocFix::frmUpdateData &wizard);

bool validate();
// The first lines of the last validation's faults.
QStringList validationFaults(int lines);
bool save();

// The card services' answers that the steps before the wizard time.
struct CheckCounts {
    int total = 0;
    int manual = 0;
};
CheckCounts checkCards();
int adjustCards();

// Answers every message box with OK or Cancel and keeps its text: a benchmark run shows none.
void recordMessages();
QStringList recordedMessages();

// Clears the component's state, as when the host unloads it, so that another run starts afresh.
void unload();

} // namespace Bench::Component
