// Everything the folder tree and the file list say,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::browser::text {

inline constexpr char kContext[] = "Browser";

inline constexpr char kCannotExpand[] = QT_TRANSLATE_NOOP("Browser", "Cannot expand the open subfolders\nof the current folder!");
inline constexpr char kOriginalMark[] = QT_TRANSLATE_NOOP("Browser", "ORG");
inline constexpr char kModifiedMark[] = QT_TRANSLATE_NOOP("Browser", "Mod");
inline constexpr char kDifferenceMark[] = QT_TRANSLATE_NOOP("Browser", "Dif");
inline constexpr char kMarkable[] = QT_TRANSLATE_NOOP("Browser", "+");
inline constexpr char kName[] = QT_TRANSLATE_NOOP("Browser", "Name");
inline constexpr char kSize[] = QT_TRANSLATE_NOOP("Browser", "Size");
inline constexpr char kType[] = QT_TRANSLATE_NOOP("Browser", "Type");
inline constexpr char kModified[] = QT_TRANSLATE_NOOP("Browser", "Modified");
inline constexpr char kMarkedFiles[] = QT_TRANSLATE_NOOP("Browser", "Marked files");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::browser::text
