#include "forms/ModalForm.h"

#include "forms/FormSize.h"
#include "forms/KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

namespace AllocFix {

ModalForm::ModalForm(QWidget *owner)
    : QDialog(owner)
{}

ModalForm::~ModalForm()
{
    setKeyPreview(false);
}

void ModalForm::showModal()
{
    discardControls();
    m_anchors = {};
    m_sizeSection.clear();
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    try {
        createControls(m_client);
        m_client->setGeometry(0, 0, width(), height());
        for (QPushButton *button : m_client->findChildren<QPushButton *>()) {
            button->setAutoDefault(false);
            button->setDefault(false);
        }
        formLoad();
        m_loadFinished = true;
    } catch (...) {
        discardControls();
        throw;
    }
    m_inModalLoop = true;
    exec();
    m_inModalLoop = false;
    discardControls();
}

void ModalForm::unloadForm()
{
    if (m_inModalLoop)
        done(QDialog::Rejected);
    else
        discardControls();
}

void ModalForm::discardControls()
{
    setKeyPreview(false);
    if (!m_client)
        return;
    if (m_loadFinished && !m_sizeSection.isEmpty())
        SaveFormSize(m_sizeSection, size());
    m_sizeSection.clear();
    controlsDiscarded();
    delete m_client;
    m_loadFinished = false;
}

void ModalForm::formKeyDown(qint32, const QKeyEvent &) {}

void ModalForm::setGrowable(QSize designSize, const QString &sizeSection)
{
    m_designSize = designSize;
    m_sizeSection = sizeSection;
    setMinimumSize(designSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize size = RestoreFormSize(sizeSection, designSize);
    // A size kept on a larger screen is no reason to open beyond this one.
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableSize()).expandedTo(designSize);
    resize(size);
    // A hidden form gets its resize event only when shown; the controls are placed now.
    placeGrownControls();
}

void ModalForm::setFixedClientSize(QSize size)
{
    m_sizeSection.clear();
    m_anchors = {};
    setFixedSize(size);
    if (m_client)
        m_client->resize(size);
}

void ModalForm::changeAtDesignSize(const std::function<void()> &change)
{
    m_anchors.atDesignSize(change);
    if (!m_sizeSection.isEmpty())
        controlsGrown();
}

void ModalForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeGrownControls();
}

void ModalForm::placeGrownControls()
{
    if (!m_client || m_sizeSection.isEmpty())
        return;
    m_client->setGeometry(0, 0, width(), height());
    m_anchors.apply(size() - m_designSize);
    controlsGrown();
}

void ModalForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !m_escapeCloses) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ModalForm::setKeyPreview(bool on)
{
    if (on == m_keyPreview || !qApp)
        return;
    m_keyPreview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool ModalForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        m_previewedEvent = nullptr;
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver != this && !isAncestorOf(receiver))
        return false;
    // A key the focused control ignores travels up to its parents; the form has seen it already.
    auto *previous = qobject_cast<QWidget *>(m_previewedReceiver.data());
    if (event == m_previewedEvent && previous && receiver->isAncestorOf(previous))
        return false;
    m_previewedEvent = event;
    m_previewedReceiver = receiver;
    const auto &keyEvent = *static_cast<QKeyEvent *>(event);
    try {
        formKeyDown(KeyCode::of(keyEvent), keyEvent);
    } catch (...) {
        // A key handler must never stop the key from reaching the control.
    }
    return false;
}

} // namespace AllocFix
