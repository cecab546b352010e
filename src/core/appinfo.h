#pragma once

#include <QString>

// Names and numbers that several parts of the program share, each written
// once. The version comes from the build's project version.
namespace mdk::appinfo {

inline const QString kVersion = QStringLiteral(MDK_VERSION);
inline const QString kHelpFileName = QStringLiteral("mdeck43.hlp");
inline const QString kTemplateName = QStringLiteral("mdk430.mdk");

} // namespace mdk::appinfo
