#pragma once

#include <QSize>
#include <QString>

namespace AllocFix {

// The application under which the component keeps its settings in the host's settings store.
inline constexpr QStringView SettingsApplication = u"FA";

// A form's size lives in the host's settings store beside its lists' column widths, under
// "FA" / section / "FormWidth" and "FormHeight", in twips. Restoring gives the stored size, never
// below minimum; without a store or a usable stored size, minimum. Saving skips a store that is
// missing or fails: a form's size is not worth an error.
QSize RestoreFormSize(const QString &section, QSize minimum);
void SaveFormSize(const QString &section, QSize size);

} // namespace AllocFix
