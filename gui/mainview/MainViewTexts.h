// Everything the Main Interface screen and its selection list say,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::mainview::text {

inline constexpr char kContext[] = "MainInterface";

inline constexpr char kInvalidDelta[] = QT_TRANSLATE_NOOP("MainInterface", ":\n\nInvalid delta file format!");
inline constexpr char kInputFile[] = QT_TRANSLATE_NOOP("MainInterface", "Input File");
inline constexpr char kOriginalFile[] = QT_TRANSLATE_NOOP("MainInterface", "Original File");
inline constexpr char kOutputFile[] = QT_TRANSLATE_NOOP("MainInterface", "Output File");
inline constexpr char kNoTree[] = QT_TRANSLATE_NOOP("MainInterface", "Cannot initialize the system tree view");
inline constexpr char kNoDirView[] = QT_TRANSLATE_NOOP("MainInterface", "Cannot initialize the current directory view!");
inline constexpr char kNoSelectionList[] = QT_TRANSLATE_NOOP("MainInterface", "Cannot initialize the selection list view!");
inline constexpr char kNoMemory[] = QT_TRANSLATE_NOOP("MainInterface", "Error: Not enough memory to\ncomplete the operation");
inline constexpr char kModifiedFile[] = QT_TRANSLATE_NOOP("MainInterface", "Modified File");
inline constexpr char kDifferenceFileMvr[] = QT_TRANSLATE_NOOP("MainInterface", "Difference File (.mvr)");
inline constexpr char kOutOfMemory[] = QT_TRANSLATE_NOOP("MainInterface", "Tarvo is out of memory.\n\nPlease, close some of your applications and\nTry accessing this folder again.");
inline constexpr char kOutput[] = QT_TRANSLATE_NOOP("MainInterface", "Output");
inline constexpr char kFile[] = QT_TRANSLATE_NOOP("MainInterface", "File");
inline constexpr char kOutputDifference[] = QT_TRANSLATE_NOOP("MainInterface", "Output (Difference File)");
inline constexpr char kOutputModified[] = QT_TRANSLATE_NOOP("MainInterface", "Output (Modified File)");
inline constexpr char kDifferenceFile[] = QT_TRANSLATE_NOOP("MainInterface", "Difference File");
inline constexpr char kTypeAFileName[] = QT_TRANSLATE_NOOP("MainInterface", "You must type a filename");
inline constexpr char kInvalidFolder[] = QT_TRANSLATE_NOOP("MainInterface", "You have typed an output file name\nwith an invalid directory!\n\nDo you really want to use it?");
inline constexpr char kTreeName[] = QT_TRANSLATE_NOOP("MainInterface", "Folders");
inline constexpr char kDirViewName[] = QT_TRANSLATE_NOOP("MainInterface", "Files of the folder");
inline constexpr char kSelectionListName[] = QT_TRANSLATE_NOOP("MainInterface", "Selection list");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::mainview::text
