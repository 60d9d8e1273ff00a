#pragma once

#include "contracts/CardServices.h"
#include "records/FieldRecord.h"

#include <QDialog>
#include <QObject>

namespace FixedAssets {

// "Mirelo.CardShow": shows the record of GetDetail read-only, in a dialog ("frmCardView") modal
// over the active window. The viewer never edits, whatever ViewJudge and WantEditFromView say.
class CardViewerService final : public QObject, public AllocFix::ICardViewer {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardViewer)
public:
    void setViewJudge(bool viewJudge) override { m_viewJudge = viewJudge; }
    void setWantEditFromView(qint16 wantEdit) override { m_wantEdit = wantEdit; }
    void setDataView(const AllocFix::FieldRecord &detail) override { m_detail = detail; }
    // Raises when no record was set.
    void ShowCard() override;

private:
    bool m_viewJudge = false;
    qint16 m_wantEdit = 0;
    AllocFix::FieldRecord m_detail;
};

// The viewer's dialog: one line per field ("lvDetail"), field names shown as labels, and
// "cmdClose".
class CardViewerDialog final : public QDialog {
    Q_OBJECT
public:
    explicit CardViewerDialog(const AllocFix::FieldRecord &detail, QWidget *parent = nullptr);

    // The label a field is shown under; a field without one is shown under its own name.
    static QString labelOf(const QString &field);
};

} // namespace FixedAssets
