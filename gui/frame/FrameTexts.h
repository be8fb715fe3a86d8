// Everything the main window, its About box and the program itself say,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::frame::text {

inline constexpr char kContext[] = "MainWindow";

inline constexpr char kNoStatusScreen[] = QT_TRANSLATE_NOOP("MainWindow", "Fatal Error: Unable to create the progress view dialog");
inline constexpr char kNoMainScreen[] = QT_TRANSLATE_NOOP("MainWindow", "Fatal Error: Unable to create the main interface dialog");
inline constexpr char kInvalidCommandLineFile[] = QT_TRANSLATE_NOOP("MainWindow", "Error: invalid delta file format!");
inline constexpr char kViewerFailed[] = QT_TRANSLATE_NOOP("MainWindow", "Failed to launch MvrView.exe !");
inline constexpr char kStatusListFailed[] = QT_TRANSLATE_NOOP("MainWindow", "Failed to initialize the process view list control");
inline constexpr char kProcessing[] = QT_TRANSLATE_NOOP("MainWindow", "Processing '");
inline constexpr char kProcessingEnd[] = QT_TRANSLATE_NOOP("MainWindow", "'");
inline constexpr char kTheseExist[] = QT_TRANSLATE_NOOP("MainWindow", "These files already exist and will be overwritten:\n\n");
inline constexpr char kProceed[] = QT_TRANSLATE_NOOP("MainWindow", "\n\nDo you want to proceed?");
inline constexpr char kNoMainWindow[] = QT_TRANSLATE_NOOP("MainWindow", "Cannot create the main window.\nCheck whether your system has enough\nfree memory.");
inline constexpr char kFileArgument[] = QT_TRANSLATE_NOOP("MainWindow", "A difference file to reconstruct.");
inline constexpr char kTreeNote[] = QT_TRANSLATE_NOOP("MainWindow", "The folders of the computer. Click one to list its files on the right.");
inline constexpr char kDirViewNote[] = QT_TRANSLATE_NOOP("MainWindow", "The files of the chosen folder. Space marks the highlighted files as modified (Construct) or difference files (Reconstruct); Shift+Space makes the highlighted file the original file.");
inline constexpr char kSelectionListNote[] = QT_TRANSLATE_NOOP("MainWindow", "The queued jobs, one per row. Click an output name to change it; Delete removes the highlighted rows.");
inline constexpr char kInputNote[] = QT_TRANSLATE_NOOP("MainWindow", "The modified file (Construct) or the difference file (Reconstruct) of the one job.");
inline constexpr char kOriginalNote[] = QT_TRANSLATE_NOOP("MainWindow", "The original file of the one job.");
inline constexpr char kOutputNote[] = QT_TRANSLATE_NOOP("MainWindow", "The file the job writes: the difference file (Construct) or the rebuilt modified file.");
inline constexpr char kAboutTitle[] = QT_TRANSLATE_NOOP("MainWindow", "About Mendivar");
inline constexpr char kAboutNote[] = QT_TRANSLATE_NOOP("MainWindow", "Difference files of any pair of files:\nconstruct them, reconstruct from them.");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::frame::text
