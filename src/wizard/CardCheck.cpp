// The check-and-adjust page: the card check with its report, and the automatic adjustment that
// either finishes the job or leads to the manual page.
#include "allocation/Saving.h"
#include "contracts/CardServices.h"
#include "contracts/ErrorReporter.h"
#include "forms/Twips.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "host/MessageBox.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "wizard/frmUpdateData.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {
constexpr int ManualPageHiddenLeft = -1000;
} // namespace

void frmUpdateData::setProgress(const QString &text)
{
    m_ui->lblProgress->setText(MMTS::LoadLangString(text));
    // Painted before the request that follows blocks the thread.
    QCoreApplication::processEvents();
}

void frmUpdateData::CheckCards(bool ShowOnly)
{
    const WizardControls &c = *m_ui;
    c.btCheckCard->setEnabled(false);
    c.btUpdate->setEnabled(false);
    c.btPrev->setEnabled(false);
    setProgress(u"正在进行卡片数据检查，请稍候..."_s);

    CheckResult = FieldRecord::create();
    {
        const auto cardInfo = createService<ICardInfo>(ProgId::CardInfo);
        CheckResult = cardInfo->CheckDataForUpDate(MMTS::GetPropsString());
    }
    const qint64 total = CheckResult.value(Fields::Total).toInt();
    const qint64 manual = CheckResult.value(Fields::Manual).toInt();
    const QString report = MMTS::LoadLangString(u"卡片检查结果："_s) + u"\r\n\r\n"_s +
                           MMTS::LoadLangString(u"要进行数据调整的卡片总数是： "_s) +
                           QString::number(total) + u"\r\n\r\n"_s +
                           MMTS::LoadLangString(u"其中可以自动进行数据调整的卡片数量是： "_s) +
                           QString::number(total - manual) + u"\r\n\r\n"_s +
                           MMTS::LoadLangString(u"其中要手动进行数据调整的卡片数量是： "_s) +
                           QString::number(manual) + u"\r\n"_s;
    c.CheckInfo->setPlainText(report);
    QCoreApplication::processEvents();

    if (ShowOnly) {
        c.btUpdate->setEnabled(true);
        c.btCheckCard->setEnabled(true);
        c.btPrev->setEnabled(true);
        c.lblProgress->clear();
    } else {
        setProgress(u"正在进行卡片数据调整，请稍候..."_s);
    }
    CardsChecked = true;
}

void frmUpdateData::checkCommand()
{
    try {
        CheckCards(true);
    } catch (...) {
        // The page stays busy: only the cancel buttons still act.
        showCommandFailure(recordCaughtException().description, this);
    }
}

void frmUpdateData::adjustCommand()
{
    try {
        const WizardControls &c = *m_ui;
        c.btUpdate->setEnabled(false);
        c.btCheckCard->setEnabled(false);
        c.btPrev->setEnabled(false);
        if (CardsChecked)
            setProgress(u"正在进行卡片数据调整，请稍候..."_s);
        else
            CheckCards(false);
    } catch (...) {
        showCommandFailure(recordCaughtException().description, this);
        return;
    }
    AdjustCards();
}

void frmUpdateData::AdjustCards()
{
    try {
        m_ui->lblProgress->setVisible(true);
        m_step.clear();
        {
            const auto cardUpdate = createService<ICardUpdate>(ProgId::CardUpdate);
            m_step.begin(cardUpdate->ReturnExpensInf(MMTS::GetPropsString()));
        }
        const qint32 count = static_cast<qint32>(m_step.vecFalterID().count());
        if (count == 0) {
            UpdateDates();
            Q_EMIT resultDecided(true);
            unloadForm();
            return;
        }

        m_ui->btPrev->setEnabled(false);
        showManualPage();
        m_ui->btNext->setEnabled(false);

        CardCount = count;
        CardPos = 1;
        CurFAlterID = m_step.cardId(1);
        loadCurrentCard();
        m_ui->lblTotal->setText(MMTS::LoadLangString(u"共 "_s) + QString::number(count) +
                                MMTS::LoadLangString(u" 张"_s));
        changeAtDesignSize(
            [this, count] { m_ui->fitCountRow(m_ui->lblTotal->text(), positionText(count)); });
        showCurrentPosition();
    } catch (...) {
        // The page stays busy with its progress text: only the cancel buttons still act.
        Q_EMIT resultDecided(false);
        recordCaughtException();
        reportCurrentError();
    }
}

void frmUpdateData::showManualPage()
{
    const WizardControls &c = *m_ui;
    for (int index : {0, 1}) {
        moveLeftTwips(c.fraStep[index], ManualPageHiddenLeft);
        c.fraStep[index]->setVisible(false);
    }
    c.fraStep[2]->setVisible(true);
    moveLeftTwips(c.fraStep[2], 0);
    c.fraStep[2]->setEnabled(true);
}

} // namespace AllocFix
