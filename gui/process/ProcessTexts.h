// Everything the processing sessions and the File Processing Status screen say,
// word for word, each shown through tr() in the context below.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace qorvex::process::text {

inline constexpr char kContext[] = "ProcessingStatus";

inline constexpr char kNoEngine[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Error: Cannot create the processing engine.\nMake sure the system has enough memory.");
inline constexpr char kInvalidDifferenceFile[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Invalid Difference File Format!");
inline constexpr char kNoSession[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Error initializing the Tarvo process.\nMake sure the system has enough memory.");
inline constexpr char kNoCoreTexts[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Error loading resources from TarvoCore.dll !");
inline constexpr char kErrorIn[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Error in ");
inline constexpr char kContinue[] = QT_TRANSLATE_NOOP("ProcessingStatus", "\n\nContinue on the other files?");
inline constexpr char kCancelButton[] = QT_TRANSLATE_NOOP("ProcessingStatus", "&Cancel...");
inline constexpr char kMainInterfaceButton[] = QT_TRANSLATE_NOOP("ProcessingStatus", "&Main Interface");
inline constexpr char kCancelNote[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Stops the highlighted processing sessions, or the current one, after asking.");
inline constexpr char kMainInterfaceNote[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Returns to the Main Interface; the sessions go on running.");
inline constexpr char kListNote[] = QT_TRANSLATE_NOOP("ProcessingStatus", "One row for every running processing session: what it does, the file in progress, and the progress of that file and of the whole session.");
inline constexpr char kMode[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Mode");
inline constexpr char kConstructingFast[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Constructing (fast)");
inline constexpr char kConstructingThorough[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Constructing (thorough)");
inline constexpr char kModifiedFile[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Modified File");
inline constexpr char kFileProgress[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Progress for This File");
inline constexpr char kTotalProgress[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Total Progress");
inline constexpr char kBytesOf[] = QT_TRANSLATE_NOOP("ProcessingStatus", "%1 bytes of %2");
inline constexpr char kSessionsEnded[] = QT_TRANSLATE_NOOP("ProcessingStatus", "The processing session(s) ended before the answer.\n\nNothing was cancelled.");
inline constexpr char kStatusListName[] = QT_TRANSLATE_NOOP("ProcessingStatus", "Processing sessions");

inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

}  // namespace qorvex::process::text
