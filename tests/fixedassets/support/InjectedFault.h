#pragma once

namespace FixedAssets {
class AccountSet;
}

namespace FixedAssets::Testing {

// What happens at the row that fails: the statement raises an error, or (PostgreSQL only) the
// server ends the connection, as an administrator's pg_terminate_backend does.
enum class FaultAction { Raise, EndConnection };

// Makes the failAt-th row inserted, updated or deleted in the tables that saves and adjustments
// write (expense_rows, expense_row_items, manual_queue, audit_log) fail; failAt 0 only counts.
// The count lives in a table of its own, so a write that is rolled back leaves it as it was.
void injectWriteFault(const AccountSet &set, int failAt, FaultAction action = FaultAction::Raise);
// Rows written since the fault was injected.
int writesCounted(const AccountSet &set);
void removeWriteFault(const AccountSet &set);

} // namespace FixedAssets::Testing
