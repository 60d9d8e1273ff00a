#include "dialogs/HelpTool.h"

#include "dialogs/HostDialog.h"
#include "host/MMTS.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

using namespace Qt::StringLiterals;

static void initHelpResources()
{
    // The help lives in a static library; naming it keeps the linker from dropping it.
    Q_INIT_RESOURCE(help);
}

namespace FixedAssets {

void HelpTool::ShowHELP(qint32 &helpContext, qint16, QString &, qint32 &, QString &, qint32 &)
{
    initHelpResources();
    HelpViewer viewer(pageFor(helpContext, AllocFix::MMTS::GetLanguage(u"Language"_s)),
                      HostDialog::owner());
    viewer.exec();
}

QString HelpTool::pageFor(qint32, const QString &language)
{
    const bool chinese = language.trimmed().compare(u"CHS"_s, Qt::CaseInsensitive) == 0;
    return chinese ? u":/help/adjustment_zh.html"_s : u":/help/adjustment_en.html"_s;
}

HelpViewer::HelpViewer(const QString &page, QWidget *parent)
    : QDialog(parent)
{
    initHelpResources();
    setObjectName(u"frmHelp"_s);
    setModal(true);
    resize(640, 560);

    auto *browser = new QTextBrowser(this);
    browser->setObjectName(u"txtHelp"_s);
    browser->setOpenExternalLinks(false);
    browser->setSource(QUrl(u"qrc"_s + page));
    setWindowTitle(browser->documentTitle());

    QPushButton *close = HostDialog::addButton(this, u"cmdClose"_s, u"关闭"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    HostDialog::finish(this, browser, {close});
}

} // namespace FixedAssets
