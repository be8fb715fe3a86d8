#include "strings/QorvexStrings.h"

#include <QCoreApplication>
#include <unordered_map>

namespace qorvex {
namespace {

const std::unordered_map<unsigned, const char*>& Table() {
  static const std::unordered_map<unsigned, const char*> table = {
      {101, QT_TRANSLATE_NOOP("Qorvex", "Open or collapse the selected folder\nOpen")},
      {103, QT_TRANSLATE_NOOP("Qorvex", "Display the information about the highlighted difference file\nProperties")},
      {128, QT_TRANSLATE_NOOP("Qorvex", "Mendivar")},
      {32775, QT_TRANSLATE_NOOP("Qorvex", "Refresh the system tree and current directory view\nRefresh")},
      {32778, QT_TRANSLATE_NOOP("Qorvex", "Sort files by their names\nSort by Name")},
      {32779, QT_TRANSLATE_NOOP("Qorvex", "Sort files by thier size\nSort by Size")},
      {32780, QT_TRANSLATE_NOOP("Qorvex", "Sort files by the description of their types\nSort by Type")},
      {32781, QT_TRANSLATE_NOOP("Qorvex", "Sort files by the time of the last modification\nSort by Date")},
      {32782, QT_TRANSLATE_NOOP("Qorvex", "Bring all the marked files in front of the directory contents view\nMarked in Front")},
      {32783, QT_TRANSLATE_NOOP("Qorvex", "Select the currently highlighted files as modified or difference\nSelect Modified/Difference")},
      {32784, QT_TRANSLATE_NOOP("Qorvex", "Select the currently highlighted file as original file\nSelect Original")},
      {32785, QT_TRANSLATE_NOOP("Qorvex", "Reverse the soring order in the directory contents view\nSorting Order")},
      {32787, QT_TRANSLATE_NOOP("Qorvex", "Unselect the target of difference files selected in the system browser\n"
              "Clear Modified/Difference File Selection")},
      {32788, QT_TRANSLATE_NOOP("Qorvex", "Unselect the currently selected in the system browser original file\nClear Original File Selection")},
      {32791, QT_TRANSLATE_NOOP("Qorvex", "Reverse the selection in current directory (not applies to the original file)\n"
              "Reverse Modified/Difference Selection")},
      {32792, QT_TRANSLATE_NOOP("Qorvex", "Start the processing of the files in the selection list\nStart Processing")},
      {32793, QT_TRANSLATE_NOOP("Qorvex", "Go to the screen displaying the information about running Mendivar processes\nCompression Status")},
      {32794, QT_TRANSLATE_NOOP("Qorvex", "Clear all the selections in the system browser\nClear all Selections")},
      {32796, QT_TRANSLATE_NOOP("Qorvex", "Go to Mendivar main interface (system browser + selection list)\nMain Interface")},
      {32797, QT_TRANSLATE_NOOP("Qorvex", "Add the files selected in the system browser to the selection list\nAdd Files")},
      {32802, QT_TRANSLATE_NOOP("Qorvex", "Construct difference file(s) from original and modified files\nConstruct")},
      {32803, QT_TRANSLATE_NOOP("Qorvex", "Reconstruct the modified file(s) from original and difference files\nReconstruct")},
      {32804, QT_TRANSLATE_NOOP("Qorvex", "Process a single pair of files at a time\nSingle File")},
      {32805, QT_TRANSLATE_NOOP("Qorvex", "Process several pairs of files at a time\nMultiple Files")},
      {32806, QT_TRANSLATE_NOOP("Qorvex", "Cancel the currently selected processing session\nCancel Processing")},
      {32808, QT_TRANSLATE_NOOP("Qorvex", "Reconstruct modified files using the default setting in the highlighted difference files\n"
              "Reconstruct Now")},
      {32809, QT_TRANSLATE_NOOP("Qorvex", "Construct difference files the standard way\nStandard Construction")},
      {32810, QT_TRANSLATE_NOOP("Qorvex", "Construct faster, files no larger\nFast Construction")},
      {32811, QT_TRANSLATE_NOOP("Qorvex", "Look hardest for matches: smallest files, slower construction\n"
              "Thorough Construction")},
      {57344, QT_TRANSLATE_NOOP("Qorvex", "Qorvex")},
      {57345, QT_TRANSLATE_NOOP("Qorvex", "For Help, press F1")},
      {57346, QT_TRANSLATE_NOOP("Qorvex", "Select an object on which to get Help")},
      {57664, QT_TRANSLATE_NOOP("Qorvex", "Display program information, version number and copyright\nAbout")},
      {57665, QT_TRANSLATE_NOOP("Qorvex", "Exit Mendivar\nExit")},
      {57666, QT_TRANSLATE_NOOP("Qorvex", "Display Mendivar Help topics\nHelp Topics")},
      {57668, QT_TRANSLATE_NOOP("Qorvex", "View instructions about how to use Windows Help\nHelp on Help")},
      {57669, QT_TRANSLATE_NOOP("Qorvex", "Display help for clicked on buttons, menus and windows\nContext Help")},
      {57670, QT_TRANSLATE_NOOP("Qorvex", "Display help for current task or command\nHelp")},
      {59392, QT_TRANSLATE_NOOP("Qorvex", "Show or hide the toolbar\nToggle ToolBar")},
      {59393, QT_TRANSLATE_NOOP("Qorvex", "Show or hide the status bar\nToggle Status Bar")},
      {61216, QT_TRANSLATE_NOOP("Qorvex", "S&ort Accending")},
      {61217, QT_TRANSLATE_NOOP("Qorvex", "S&ort Decending")},
      {61218, QT_TRANSLATE_NOOP("Qorvex", "E&xit\tAlt+F4")},
      {61219, QT_TRANSLATE_NOOP("Qorvex", "E&xit...\tAlt+F4")},
      {61220, QT_TRANSLATE_NOOP("Qorvex", "Mendivar is still processing files.\n\nDo you want to exit anyway?")},
      {61221, QT_TRANSLATE_NOOP("Qorvex", "Constructing")},
      {61222, QT_TRANSLATE_NOOP("Qorvex", "Reconstructing")},
      {61223, QT_TRANSLATE_NOOP("Qorvex", "Loading...")},
      {61224, QT_TRANSLATE_NOOP("Qorvex", "Initializing the Processing Session...")},
      {61225, QT_TRANSLATE_NOOP("Qorvex", "Are you sure you want to cancel\nthe processing session(s)?")},
      {61226, QT_TRANSLATE_NOOP("Qorvex", "Exiting...")},
      {61228, QT_TRANSLATE_NOOP("Qorvex", "&Select  Modified\tSpace/Ctrl+M")},
      {61229, QT_TRANSLATE_NOOP("Qorvex", "&Select Difference\tSpace/Ctrl+D")},
      {61231, QT_TRANSLATE_NOOP("Qorvex", "Choosing an already existing file\nas an output file will overwrite it.\n\n"
              "Do you want to proceed with the file\n\n%s ?")},
  };
  return table;
}

}  // namespace

QString LoadString(unsigned id) {
  const auto it = Table().find(id);
  return it == Table().end() ? QString() : QCoreApplication::translate("Qorvex", it->second);
}

QString PromptStatusText(unsigned id) { return LoadString(id).section(QLatin1Char('\n'), 0, 0); }

QString PromptTooltip(unsigned id) {
  const QString prompt = LoadString(id);
  const qsizetype nl = prompt.indexOf(QLatin1Char('\n'));
  return nl < 0 ? QString() : prompt.mid(nl + 1);
}

}  // namespace qorvex
