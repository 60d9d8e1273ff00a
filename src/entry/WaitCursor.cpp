#include "entry/WaitCursor.h"

namespace AllocFix {

WaitCursor::WaitCursor(QObject *parent)
    : QObject(parent)
{}

WaitCursor::~WaitCursor() = default;

} // namespace AllocFix
