#include "QorvexStrings.h"

#include <unordered_map>

namespace qorvex {
namespace {

const std::unordered_map<unsigned, const char*>& Table() {
  static const std::unordered_map<unsigned, const char*> table = {
      {101, "Open or collapse the selected folder\nOpen"},
      {103, "Display the information about the highlighted difference file\nProperties"},
      {128, "Mendivar"},
      {32775, "Refresh the system tree and current directory view\nRefresh"},
      {32778, "Sort files by their names\nSort by Name"},
      {32779, "Sort files by thier size\nSort by Size"},
      {32780, "Sort files by the description of their types\nSort by Type"},
      {32781, "Sort files by the time of the last modification\nSort by Date"},
      {32782, "Bring all the marked files in front of the directory contents view\nMarked in Front"},
      {32783, "Select the currently highlighted files as modified or difference\nSelect Modified/Difference"},
      {32784, "Select the currently highlighted file as original file\nSelect Original"},
      {32785, "Reverse the soring order in the directory contents view\nSorting Order"},
      {32787, "Unselect the target of difference files selected in the system browser\n"
              "Clear Modified/Difference File Selection"},
      {32788, "Unselect the currently selected in the system browser original file\nClear Original File Selection"},
      {32791, "Reverse the selection in current directory (not applies to the original file)\n"
              "Reverse Modified/Difference Selection"},
      {32792, "Start the processing of the files in the selection list\nStart Processing"},
      {32793, "Go to the screen displaying the information about running Mendivar processes\nCompression Status"},
      {32794, "Clear all the selections in the system browser\nClear all Selections"},
      {32796, "Go to Mendivar main interface (system browser + selection list)\nMain Interface"},
      {32797, "Add the files selected in the system browser to the selection list\nAdd Files"},
      {32802, "Construct difference file(s) from original and modified files\nConstruct"},
      {32803, "Reconstruct the modified file(s) from original and difference files\nReconstruct"},
      {32804, "Process a single pair of files at a time\nSingle File"},
      {32805, "Process several pairs of files at a time\nMultiple Files"},
      {32806, "Cancel the currently selected processing session\nCancel Processing"},
      {32808, "Reconstruct modified files using the default setting in the highlighted difference files\n"
              "Reconstruct Now"},
      {57344, "Qorvex"},
      {57345, "For Help, press F1"},
      {57346, "Select an object on which to get Help"},
      {57664, "Display program information, version number and copyright\nAbout"},
      {57665, "Exit Mendivar\nExit"},
      {57666, "Display Mendivar Help topics\nHelp Topics"},
      {57668, "View instructions about how to use Windows Help\nHelp on Help"},
      {57669, "Display help for clicked on buttons, menus and windows\nContext Help"},
      {57670, "Display help for current task or command\nHelp"},
      {59392, "Show or hide the toolbar\nToggle ToolBar"},
      {59393, "Show or hide the status bar\nToggle Status Bar"},
      {61216, "S&ort Accending"},
      {61217, "S&ort Decending"},
      {61218, "E&xit\tAlt+F4"},
      {61219, "E&xit...\tAlt+F4"},
      {61220, "Mendivar is still processing files.\n\nDo you want to exit anyway?"},
      {61221, "Constructing"},
      {61222, "Reconstructing"},
      {61223, "Loading..."},
      {61224, "Initializing the Processing Session..."},
      {61225, "Are you sure you want to cancel\nthe processing session(s)?"},
      {61226, "Exiting..."},
      {61228, "&Select  Modified\tSpace/Ctrl+M"},
      {61229, "&Select Difference\tSpace/Ctrl+D"},
      {61231, "Choosing an already existing file\nas an output file will overwrite it.\n\n"
              "Do you want to proceed with the file\n\n%s ?"},
  };
  return table;
}

}  // namespace

QString LoadString(unsigned id) {
  const auto it = Table().find(id);
  return it == Table().end() ? QString() : QString::fromUtf8(it->second);
}

QString PromptStatusText(unsigned id) { return LoadString(id).section(QLatin1Char('\n'), 0, 0); }

QString PromptTooltip(unsigned id) {
  const QString prompt = LoadString(id);
  const qsizetype nl = prompt.indexOf(QLatin1Char('\n'));
  return nl < 0 ? QString() : prompt.mid(nl + 1);
}

}  // namespace qorvex
