// Everything the error objects and their messages say,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::errors::text {

inline constexpr char kContext[] = "Errors";

inline constexpr char kInternalHead[] = QT_TRANSLATE_NOOP("Errors", "An internal error:\n\n");
inline constexpr char kNotAccessible[] = QT_TRANSLATE_NOOP("Errors", " is not accessible:\n\n");
inline constexpr char kNoShellFolder[] = QT_TRANSLATE_NOOP("Errors", "No IShellFolder interface is specified\nfor CShellFolder object");
inline constexpr char kShellFolderUnknown[] = QT_TRANSLATE_NOOP("Errors", "Unknow error in CShellFolder object");
inline constexpr char kListViewProblem[] = QT_TRANSLATE_NOOP("Errors", "Problem with list view control");
inline constexpr char kNoAllocatorDir[] = QT_TRANSLATE_NOOP("Errors", "Cannot get the shell memory allocator\ninterface\n\n");
inline constexpr char kTreeViewProblem[] = QT_TRANSLATE_NOOP("Errors", "Problem with the tree view control");
inline constexpr char kNoAllocatorTree[] = QT_TRANSLATE_NOOP("Errors", "Cannot get shell memory allocator interface\n\n");
inline constexpr char kGenericInternal[] = QT_TRANSLATE_NOOP("Errors", "Generic internal error");
inline constexpr char kListControl[] = QT_TRANSLATE_NOOP("Errors", "Error in List Control");
inline constexpr char kProcessList[] = QT_TRANSLATE_NOOP("Errors", "List view error in ProcessView");
inline constexpr char kInternalAdvice[] = QT_TRANSLATE_NOOP("Errors", "\n\nIf the error is a result of a visual element failure\nin the main interface, try selecting \"Refresh\" itemin the main menu or pressing F5.\nIf it does not help, restart Tarvo as soon as it is possible.");
inline constexpr char kUnknownError[] = QT_TRANSLATE_NOOP("Errors", "Unknown error:\nThe error code is 0x%1L");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::errors::text
