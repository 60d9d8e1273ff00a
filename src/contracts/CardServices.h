#pragma once

#include "allocfix_export.h"
#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <QObject>
#include <QString>

// Contracts of the host's card services. A fresh service object is created by ProgID inside
// each calling operation and released when it ends. Every call takes the host property string
// first; card IDs are "FAlterID" values, passed by reference.
namespace AllocFix {

// "OrvFACard.CardInfo"
class ALLOCFIX_EXPORT ICardInfo {
public:
    virtual ~ICardInfo() = default;
    // "total": cards to adjust; "dTOd": those of them that need manual adjustment.
    virtual FieldRecord CheckDataForUpDate(const QString &props) = 0;
    // The card's departments: "FItemID", "FItemName", "FRate".
    virtual RecordList GetDept(const QString &props, qint32 &cardId) = 0;
    // The card's current expense allocation rows.
    virtual RecordList GetExpense(const QString &props, qint32 &cardId) = 0;
    // "FDate", "FAssetName", "FAssetNumber".
    virtual FieldRecord GetCardInf(const QString &props, qint32 &cardId) = 0;
    // The card's full data, handed on unread to the card viewer.
    virtual FieldRecord GetDetail(const QString &props, qint32 &cardId) = 0;
};

// "OrvFACard.CardUpdate"
class ALLOCFIX_EXPORT ICardUpdate {
public:
    virtual ~ICardUpdate() = default;
    // Adjusts what the service can adjust by itself and answers the cards left for manual work
    // ("FAlterID"), in the order the wizard presents them.
    virtual RecordList ReturnExpensInf(const QString &props) = 0;
    // allocations is keyed by card position "1".."N" in the order ReturnExpensInf answered; each
    // value is the card's list of expense rows. Stores all of them or raises and stores nothing.
    virtual bool SaveDoubleExpense(const QString &props, const FieldRecord &allocations) = 0;
    // Records that the account set's cards have been adjusted.
    virtual bool AllocFixDate(const QString &props) = 0;
};

// "Mirelo.CardShow": the host's card viewer. The component sets the three properties in this
// order and then calls ShowCard.
class ALLOCFIX_EXPORT ICardViewer {
public:
    virtual ~ICardViewer() = default;
    virtual void setViewJudge(bool viewJudge) = 0;
    virtual void setWantEditFromView(qint16 wantEdit) = 0;
    virtual void setDataView(const FieldRecord &detail) = 0;
    virtual void ShowCard() = 0;
};

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::ICardInfo, "AllocFix.ICardInfo/1.0")
Q_DECLARE_INTERFACE(AllocFix::ICardUpdate, "AllocFix.ICardUpdate/1.0")
Q_DECLARE_INTERFACE(AllocFix::ICardViewer, "AllocFix.ICardViewer/1.0")
