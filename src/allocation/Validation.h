#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace AllocFix {

class ManualStep;

// One fault the finish check found: the position of the card it is about, and its line as the
// user reads it (without the line end).
struct ValidationFault {
    qsizetype card = 0;
    QString text;
};
using ValidationFaults = QList<ValidationFault>;

// Checks every card of the manual step before anything is saved: each card was shown, and each
// shown card's rows keep the allocation rules against the departments the card service gives for
// it now. Answers the faults in the order found, none when all is well. For the host, which reads
// the global, it also leaves them in ValidationText as validationText writes them; our own code
// reads the faults.
//
// Per card the lines come in this order: repeated rows, departments without rows, departments
// whose rates do not make 100 %, rows left without a department of the card, rows at fault of
// their own. A card never shown is named once, before any card's other faults, and every card
// that was shown is checked all the same.
//
// An error of a service (the card service, the item service) reaches the caller: the check is
// then not done, and what it found so far stays in ValidationText.
//
// progress, when given, hears how many of the cards have been checked, before each card and
// once at the end.
using ValidationProgress = std::function<void(qsizetype done, qsizetype total)>;
ValidationFaults ValidateAllocations(const ManualStep &step,
                                     const ValidationProgress &progress = {});

// The faults one line each, ended by CR LF.
QString validationText(const ValidationFaults &faults);

} // namespace AllocFix
