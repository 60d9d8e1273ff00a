#pragma once

#include "host/DesktopServices.h"

#include <QDialog>
#include <QObject>

namespace FixedAssets {

// "Q7CHMResTool.ClsCHMHelp": shows the bundled help for a context in a viewer dialog, modal over
// the active window, in Chinese under "CHS" and in English otherwise. The card data adjustment
// (context 90041) is the one topic; any other context shows it too.
class HelpTool final : public QObject, public AllocFix::IHelpTool {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IHelpTool)
public:
    void ShowHELP(qint32 &helpContext, qint16 flags, QString &text1, qint32 &number1,
                  QString &text2, qint32 &number2) override;

    // The help page for a context and language, as a resource path.
    static QString pageFor(qint32 helpContext, const QString &language);
};

// The viewer: "txtHelp" (a QTextBrowser) and "cmdClose".
class HelpViewer final : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(const QString &page, QWidget *parent = nullptr);
};

} // namespace FixedAssets
