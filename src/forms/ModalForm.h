#pragma once

#include "forms/ControlAnchors.h"

#include <QDialog>
#include <QPointer>

class QKeyEvent;

namespace AllocFix {

// A modal form whose object and whose loaded controls live apart. The form object may live on
// between showings and keep its members; each showing loads the controls anew from their design
// state and runs the load handler, and unloading discards the controls.
//
//     form.showModal();   // createControls(client), formLoad(), modal loop, controls discarded
//
// Buttons never act as default buttons: Enter has no form-wide meaning.
class ModalForm : public QDialog {
    Q_OBJECT
public:
    explicit ModalForm(QWidget *owner = nullptr);
    ~ModalForm() override;

    // Loads the form and shows it modally; returns once it is unloaded. A failure while loading
    // discards the controls and reaches the caller.
    void showModal();
    // Ends the modal showing. The controls are discarded when showModal returns, so a handler of
    // one of them may unload its own form.
    void unloadForm();
    bool isLoaded() const { return m_client != nullptr; }
    // Whether the load handler ran to its end for the controls now loaded. Whatever a form keeps
    // of its controls when they are discarded (column widths, say) is worth keeping only then.
    bool loadFinished() const { return m_loadFinished; }

protected:
    // Builds every control in its design state, as children of client.
    virtual void createControls(QWidget *client) = 0;
    // The form's load handler; runs after createControls.
    virtual void formLoad() = 0;
    // The controls are about to be deleted; forget any pointers to them.
    virtual void controlsDiscarded() {}
    // With key preview on, the form sees every key pressed on it before the control that has
    // the focus does; keyCode is the host's key code. The key then goes on to the control.
    virtual void formKeyDown(qint32 keyCode, const QKeyEvent &event);

    // Lets the form grow from designSize, which stays its minimum: it opens at the size it was
    // left at (kept in the settings store under sizeSection) and anchors() place the controls.
    // Called once the controls that grow are in anchors(); a showing starts without growth.
    void setGrowable(QSize designSize, const QString &sizeSection);
    // Back to a fixed size for the rest of the showing; the size is not kept.
    void setFixedClientSize(QSize size);
    ControlAnchors &anchors() { return m_anchors; }
    // Runs change on the controls at their design places and takes what it leaves as their new
    // places (ControlAnchors::atDesignSize), then places them for the present size again.
    void changeAtDesignSize(const std::function<void()> &change);
    // The anchors have just placed the controls for the form's present size.
    virtual void controlsGrown() {}
    void resizeEvent(QResizeEvent *event) override;

    void setKeyPreview(bool on);
    // Whether Esc closes the form as a dialog's cancel key does (the default). A form without a
    // cancel button turns it off, and so does one that presses its own from formKeyDown.
    void setEscapeCloses(bool on) { m_escapeCloses = on; }
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void discardControls();
    void placeGrownControls();

    QPointer<QWidget> m_client;
    ControlAnchors m_anchors;
    QSize m_designSize;
    QString m_sizeSection; // empty while the form does not grow
    bool m_inModalLoop = false;
    bool m_loadFinished = false;
    bool m_keyPreview = false;
    bool m_escapeCloses = true;
    // The key press being handed up the parent chain, so the form sees it only once.
    const QEvent *m_previewedEvent = nullptr;
    QPointer<QObject> m_previewedReceiver;
};

} // namespace AllocFix
