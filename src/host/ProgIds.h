#pragma once

#include <QString>

// The names under which the host registers the outside objects the component creates.
namespace AllocFix::ProgId {
inline const QString CardInfo = QStringLiteral("OrvFACard.CardInfo");
inline const QString CardUpdate = QStringLiteral("OrvFACard.CardUpdate");
inline const QString CardShow = QStringLiteral("Mirelo.CardShow");
inline const QString ItemInfo = QStringLiteral("OrvGLItem.ItemInfo");
inline const QString GLData = QStringLiteral("TamGLView.GLData");
inline const QString GLView = QStringLiteral("TamGLView.GLView");
inline const QString ResourceLoader = QStringLiteral("Q7RESLOADER.Loader");
inline const QString LangInfo = QStringLiteral("Q7LangInfo.LangInfo");
inline const QString FormFontLoader = QStringLiteral("Tessik.TessikLoader");
inline const QString ShareProps = QStringLiteral("Quarn.ShareProps");
inline const QString HelpTool = QStringLiteral("Q7CHMResTool.ClsCHMHelp");
// The two host objects the component names without a ProgID of their own.
inline const QString ErrorReporter = QStringLiteral("FixedAssets.ErrorReporter");
inline const QString SettingsStore = QStringLiteral("FixedAssets.SettingsStore");
// The component's own creatable classes.
inline const QString ShowUpdate = QStringLiteral("AllocFix.ShowUpdate");
inline const QString WaitCursor = QStringLiteral("AllocFix.WaitCursor");
} // namespace AllocFix::ProgId
