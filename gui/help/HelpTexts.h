// Everything the help window says,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::help::text {

inline constexpr char kContext[] = "Help";

inline constexpr char kTitle[] = QT_TRANSLATE_NOOP("Help", "Mendivar Help");
inline constexpr char kContents[] = QT_TRANSLATE_NOOP("Help", "&Contents");
inline constexpr char kBack[] = QT_TRANSLATE_NOOP("Help", "&Back");
inline constexpr char kForward[] = QT_TRANSLATE_NOOP("Help", "&Forward");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::help::text
