// The numbers of Qorvex's commands, shared by the main window's menus and
// the Main Interface's context menus.
#pragma once

class QString;

namespace QorvexCommand {
inline constexpr int kOpenFolder = 101;       // the tree's menu: open or collapse
inline constexpr int kProperties = 103;
inline constexpr int kRefresh = 32775;
inline constexpr int kSortByName = 32778;
inline constexpr int kSortBySize = 32779;
inline constexpr int kSortByType = 32780;
inline constexpr int kSortByDate = 32781;
inline constexpr int kMarkedInFront = 32782;
inline constexpr int kSelect = 32783;
inline constexpr int kSelectOriginal = 32784;
inline constexpr int kSortOrderChange = 32785;
inline constexpr int kClearSelection = 32787;
inline constexpr int kClearOriginal = 32788;
inline constexpr int kReverseSelection = 32791;
inline constexpr int kStartProcessing = 32792;
inline constexpr int kClearAll = 32794;
inline constexpr int kAddFiles = 32797;
inline constexpr int kConstruct = 32802;
inline constexpr int kReconstruct = 32803;
inline constexpr int kSingleFile = 32804;
inline constexpr int kMultipleFiles = 32805;
inline constexpr int kReconstructNow = 32808;
}  // namespace QorvexCommand

// Where the Main Interface's context menus send their commands: the main
// window, which routes them like its menu's. Without one the screen runs
// the commands it has itself.
class IQorvexCommandTarget {
 public:
  virtual ~IQorvexCommandTarget() = default;
  // Whether the command is enabled now; pText receives a changed menu text.
  virtual bool IsCommandEnabled(int nId, QString* pText) = 0;
  virtual void OnCommand(int nId) = 0;
};
