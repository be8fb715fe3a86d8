// Every command of Qorvex as one QAction: its menu text, status-line prompt,
// tooltip, keys, picture and help topic. The menu bar, the toolbar and both
// context menus of the Main Interface show these same actions, so a command
// is enabled, checked or renamed in one place for all of them.
#pragma once

#include <QObject>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

#include "process/ConstructionChoice.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolBar;

// What the enabling of the commands depends on, as the main window sees it.
struct CCommandState {
  bool bothScreens = false;  // both screens were created
  bool mainExists = false;   // the Main Interface is a window
  int screen = 0;            // 0 Main Interface, 1 File Processing Status
  bool multiple = false;     // Multiple Files mode
  bool construct = true;     // Construct mode
  int selectionRows = 0;
  bool inputField = false;  // the three fields of Single File mode are non-empty
  bool originalField = false;
  bool outputField = false;
  int marked = 0;
  bool original = false;
  bool dirFocused = false;
  QStringList highlighted;  // full paths of the highlighted files, in list order
  bool focusedHighlighted = false;
  int dirItems = 0;
  bool treeFocused = false;
  bool treeExpanded = false;  // the tree's selected folder is open
  int sessionRows = 0;
  bool currentSession = false;
  bool statusBarVisible = true;
  int sortKey = 0;  // 0 name, 1 size, 2 type, 3 date
  bool markedInFront = false;
  bool ascending = true;
};

class CQorvexActions : public QObject {
  Q_OBJECT

 public:
  explicit CQorvexActions(QObject* pParent);
  ~CQorvexActions() override;

  // The action of a command number; null when there is no such command.
  QAction* Action(unsigned id) const;
  std::vector<QAction*> All() const;

  // Enabled states, check marks and the texts that change with the state.
  void Apply(const CCommandState& state);

  // The checked one of the three construction commands: the user's last
  // choice, kept between runs, standard at first.
  EConstructionChoice ConstructionChoice() const;

  // The menu bar's menus; returns every menu made, popups included.
  QList<QMenu*> FillMenuBar(QMenuBar* pBar);
  QMenu* ViewMenu() const { return m_pViewMenu; }
  QMenu* SortFilesMenu() const { return m_pSortMenu; }
  void FillToolBar(QToolBar* pToolBar);
  // The file list's and the tree's context menus.
  QMenu* DirViewMenu() const { return m_pDirViewMenu.get(); }
  QMenu* TreeMenu() const { return m_pTreeMenu.get(); }

 private:
  QAction* Make(unsigned id, const QString& text);

  std::map<unsigned, QAction*> m_Actions;
  QActionGroup* m_pScreens;
  QActionGroup* m_pSortKeys;
  QActionGroup* m_pModes;
  QActionGroup* m_pFileModes;
  QActionGroup* m_pConstructions;
  QMenu* m_pViewMenu = nullptr;
  QMenu* m_pSortMenu = nullptr;
  std::unique_ptr<QMenu> m_pDirViewMenu;
  std::unique_ptr<QMenu> m_pTreeMenu;
};
