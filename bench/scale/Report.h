#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// The results of a run: the machine, and one object per database as runScale answers it.
namespace Bench::Report {

QJsonObject machine();
// {"machine": ..., "cards": N, "runs": [...]} as written to the JSON file.
QJsonObject document(int cards, const QList<QJsonObject> &runs);
// The Markdown table of a document: every step on SQLite, the raw baseline and the ratio to it,
// PostgreSQL and its ratio to SQLite, and the target.
QString markdown(const QJsonObject &document);

} // namespace Bench::Report
