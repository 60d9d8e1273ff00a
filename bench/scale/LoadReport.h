#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The load step's table: per reader kind and for the writer, its times alone and under load on
// each database, the ratio against the target with ✓ or ✗, and the errors by kind.
namespace Bench::Load {

// The table of one size; sqlite or postgresql may be empty (the step did not run there).
QString markdown(int cards, const QJsonObject &sqlite, const QJsonObject &postgresql);
// Each invariant break of a step, "kind: count (first: ...)"; none when it kept them all.
QStringList breaksOf(const QJsonObject &load);

} // namespace Bench::Load
