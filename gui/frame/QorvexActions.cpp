#include "frame/QorvexActions.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "frame/ConstructionSetting.h"
#include "help/HelpContexts.h"
#include "strings/CommandIds.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"
#include "TarvoFileLib.h"

using namespace qorvex;

namespace {

struct Command {
  unsigned id;
  const char* text;
};

// The menu texts; an empty text is set by Apply.
constexpr Command kCommands[] = {
    {cmd::kStartProcessing, QT_TRANSLATE_NOOP("CQorvexActions", "Start &Processing")},
    {cmd::kCancelProcessing, QT_TRANSLATE_NOOP("CQorvexActions", "&Cancel Processing...")},
    {cmd::kExit, ""},
    {cmd::kSelect, QT_TRANSLATE_NOOP("CQorvexActions", "&Select\tSpace")},
    {cmd::kSelectOriginal, QT_TRANSLATE_NOOP("CQorvexActions", "Select &Original\tShift+Space/Ctrl+O")},
    {cmd::kReverseSelection, QT_TRANSLATE_NOOP("CQorvexActions", "Re&verse Selection")},
    {cmd::kClearSelection, QT_TRANSLATE_NOOP("CQorvexActions", "C&lear Selection")},
    {cmd::kClearOriginal, QT_TRANSLATE_NOOP("CQorvexActions", "Cl&ear Original Selection")},
    {cmd::kClearAll, QT_TRANSLATE_NOOP("CQorvexActions", "Clear &All Selections\tF8")},
    {cmd::kAddFiles, QT_TRANSLATE_NOOP("CQorvexActions", "Add Files For &Processing\tEnter")},
    {cmd::kToggleStatusBar, QT_TRANSLATE_NOOP("CQorvexActions", "Status &Bar")},
    {cmd::kScreenMain, QT_TRANSLATE_NOOP("CQorvexActions", "&Main Interface")},
    {cmd::kScreenStatus, QT_TRANSLATE_NOOP("CQorvexActions", "File &Processing Status")},
    {cmd::kSortByName, QT_TRANSLATE_NOOP("CQorvexActions", "By &Name")},
    {cmd::kSortBySize, QT_TRANSLATE_NOOP("CQorvexActions", "By &Size")},
    {cmd::kSortByType, QT_TRANSLATE_NOOP("CQorvexActions", "By &Type")},
    {cmd::kSortByDate, QT_TRANSLATE_NOOP("CQorvexActions", "By &Date")},
    {cmd::kMarkedInFront, QT_TRANSLATE_NOOP("CQorvexActions", "&Marked Files in Front")},
    {cmd::kSortOrder, ""},
    {cmd::kRefresh, QT_TRANSLATE_NOOP("CQorvexActions", "&Refresh\tF5")},
    {cmd::kConstruct, QT_TRANSLATE_NOOP("CQorvexActions", "&Construct")},
    {cmd::kReconstruct, QT_TRANSLATE_NOOP("CQorvexActions", "&Reconstruct")},
    {cmd::kSingleFile, QT_TRANSLATE_NOOP("CQorvexActions", "&Single File")},
    {cmd::kMultipleFiles, QT_TRANSLATE_NOOP("CQorvexActions", "&Multiple Files")},
    {cmd::kStandardConstruction, QT_TRANSLATE_NOOP("CQorvexActions", "St&andard Construction")},
    {cmd::kFastConstruction, QT_TRANSLATE_NOOP("CQorvexActions", "&Fast Construction")},
    {cmd::kThoroughConstruction, QT_TRANSLATE_NOOP("CQorvexActions", "&Thorough Construction")},
    {cmd::kHelpTopics, QT_TRANSLATE_NOOP("CQorvexActions", "Help &Topics\tCtrl+F1")},
    {cmd::kHelpOnHelp, QT_TRANSLATE_NOOP("CQorvexActions", "&Help on Help")},
    {cmd::kContextHelp, QT_TRANSLATE_NOOP("CQorvexActions", "Conte&xt Help\tShift+F1")},
    {cmd::kAbout, QT_TRANSLATE_NOOP("CQorvexActions", "&About Mendivar...")},
    {cmd::kHelp, ""},
    {cmd::kDefaultHelp, ""},
    {cmd::kProperties, QT_TRANSLATE_NOOP("CQorvexActions", "&Properties...")},
    {cmd::kReconstructNow, QT_TRANSLATE_NOOP("CQorvexActions", "&Reconstruct Now")},
    {cmd::kTreeOpen, ""},
};

// The construction commands, each with the choice it makes.
struct Construction {
  unsigned id;
  EConstructionChoice choice;
};
constexpr Construction kConstructions[] = {
    {cmd::kStandardConstruction, EConstructionChoice::standard},
    {cmd::kFastConstruction, EConstructionChoice::fast},
    {cmd::kThoroughConstruction, EConstructionChoice::thorough},
};

// The toolbar, in order; 0 is a separator.
constexpr unsigned kToolBar[] = {cmd::kConstruct, cmd::kReconstruct, 0, cmd::kSelectOriginal, cmd::kSelect, 0,
                                 cmd::kAddFiles, cmd::kStartProcessing};

// The toolbar's pictures, by the command they stand for.
const char* ToolBarPicture(unsigned id) {
  switch (id) {
    case cmd::kConstruct: return ":/Qorvex/toolbar/construct.png";
    case cmd::kReconstruct: return ":/Qorvex/toolbar/reconstruct.png";
    case cmd::kSelectOriginal: return ":/Qorvex/toolbar/select-original.png";
    case cmd::kSelect: return ":/Qorvex/toolbar/select.png";
    case cmd::kAddFiles: return ":/Qorvex/toolbar/add-files.png";
    case cmd::kStartProcessing: return ":/Qorvex/toolbar/start-processing.png";
    default: return nullptr;
  }
}

bool IsDeltaFileName(const QString& path) {
  static const char* const kMvr[] = {".mvr", nullptr};
  return TFLCheckFileStdExtension(QFile::encodeName(path).constData(), kMvr) == 0;
}

bool HasDeltaExtension(const QString& path) {
  const std::string ext = TFLGetFileExtension(QFile::encodeName(path).constData());
  return QString::fromStdString(ext).compare(QStringLiteral(".mvr"), Qt::CaseInsensitive) == 0;
}

}  // namespace

CQorvexActions::CQorvexActions(QObject* pParent) : QObject(pParent) {
  for (const Command& c : kCommands) Make(c.id, c.text[0] != '\0' ? tr(c.text) : QString());
  Action(cmd::kClearAll)->setShortcut(Qt::Key_F8);
  Action(cmd::kRefresh)->setShortcut(Qt::Key_F5);
  Action(cmd::kContextHelp)->setShortcut(Qt::SHIFT | Qt::Key_F1);
  Action(cmd::kHelp)->setShortcut(Qt::Key_F1);
  for (unsigned id : {cmd::kToggleStatusBar, cmd::kMarkedInFront}) Action(id)->setCheckable(true);

  auto group = [this](std::initializer_list<unsigned> ids) {
    auto* radio = new QActionGroup(this);
    for (unsigned id : ids) {
      Action(id)->setCheckable(true);
      radio->addAction(Action(id));
    }
    return radio;
  };
  m_pScreens = group({cmd::kScreenMain, cmd::kScreenStatus});
  m_pSortKeys = group({cmd::kSortByName, cmd::kSortBySize, cmd::kSortByType, cmd::kSortByDate});
  m_pModes = group({cmd::kConstruct, cmd::kReconstruct});
  m_pFileModes = group({cmd::kSingleFile, cmd::kMultipleFiles});
  m_pConstructions = group({cmd::kStandardConstruction, cmd::kFastConstruction, cmd::kThoroughConstruction});
  // The choice is the user's, whatever the state: Apply leaves its mark alone,
  // and every change is kept for the next run at once.
  const EConstructionChoice stored = settings::LoadConstructionChoice();
  for (const Construction& c : kConstructions) {
    Action(c.id)->setChecked(c.choice == stored);
    connect(Action(c.id), &QAction::toggled, this, [choice = c.choice](bool checked) {
      if (checked) settings::SaveConstructionChoice(choice);
    });
  }

  for (unsigned id : kToolBar) {
    if (const char* picture = ToolBarPicture(id)) {
      Action(id)->setIcon(QIcon(QString::fromLatin1(picture)));
      Action(id)->setIconVisibleInMenu(false);
    }
  }

  m_pDirViewMenu = std::make_unique<QMenu>();
  m_pDirViewMenu->setObjectName(QStringLiteral("dirViewMenu"));
  m_pDirViewMenu->addAction(Action(cmd::kSelect));
  m_pDirViewMenu->setDefaultAction(Action(cmd::kSelect));
  m_pDirViewMenu->addAction(Action(cmd::kSelectOriginal));
  m_pDirViewMenu->addSeparator();
  m_pDirViewMenu->addAction(Action(cmd::kReconstructNow));
  m_pDirViewMenu->addSeparator();
  m_pDirViewMenu->addAction(Action(cmd::kProperties));
  m_pTreeMenu = std::make_unique<QMenu>();
  m_pTreeMenu->setObjectName(QStringLiteral("treeMenu"));
  m_pTreeMenu->addAction(Action(cmd::kTreeOpen));
  m_pTreeMenu->setDefaultAction(Action(cmd::kTreeOpen));
}

CQorvexActions::~CQorvexActions() = default;

QAction* CQorvexActions::Make(unsigned id, const QString& text) {
  auto* action = new QAction(text, this);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  action->setData(help::ForCommand(id));
  action->setStatusTip(PromptStatusText(id));
  action->setWhatsThis(PromptStatusText(id));
  const QString tip = PromptTooltip(id);
  if (!tip.isEmpty()) action->setToolTip(tip);
  m_Actions[id] = action;
  return action;
}

EConstructionChoice CQorvexActions::ConstructionChoice() const {
  for (const Construction& c : kConstructions) {
    if (Action(c.id)->isChecked()) return c.choice;
  }
  return EConstructionChoice::standard;
}

QAction* CQorvexActions::Action(unsigned id) const {
  const auto it = m_Actions.find(id);
  return it == m_Actions.end() ? nullptr : it->second;
}

std::vector<QAction*> CQorvexActions::All() const {
  std::vector<QAction*> all;
  for (const auto& [id, action] : m_Actions) all.push_back(action);
  return all;
}

QList<QMenu*> CQorvexActions::FillMenuBar(QMenuBar* pBar) {
  QList<QMenu*> menus;
  auto add = [&menus](QMenu* menu, std::initializer_list<unsigned> ids, auto* self) {
    for (unsigned id : ids) {
      if (id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(self->Action(id));
      }
    }
    menus << menu;
    return menu;
  };
  add(pBar->addMenu(tr("&File")), {cmd::kStartProcessing, cmd::kCancelProcessing, 0, cmd::kExit}, this);
  add(pBar->addMenu(tr("&Selection")),
      {cmd::kSelect, cmd::kSelectOriginal, 0, cmd::kReverseSelection, cmd::kClearSelection, cmd::kClearOriginal,
       cmd::kClearAll, 0, cmd::kAddFiles},
      this);
  m_pViewMenu = add(pBar->addMenu(tr("&View")), {cmd::kToggleStatusBar}, this);
  add(m_pViewMenu->addMenu(tr("S&creen")), {cmd::kScreenMain, cmd::kScreenStatus}, this);
  m_pViewMenu->addSeparator();
  m_pSortMenu = add(m_pViewMenu->addMenu(tr("&Sort Files")),
                    {cmd::kSortByName, cmd::kSortBySize, cmd::kSortByType, cmd::kSortByDate, 0, cmd::kMarkedInFront,
                     cmd::kSortOrder},
                    this);
  m_pViewMenu->addSeparator();
  m_pViewMenu->addAction(Action(cmd::kRefresh));
  add(pBar->addMenu(tr("&Mode")),
      {cmd::kConstruct, cmd::kReconstruct, 0, cmd::kSingleFile, cmd::kMultipleFiles, 0, cmd::kStandardConstruction,
       cmd::kFastConstruction, cmd::kThoroughConstruction},
      this);
  add(pBar->addMenu(tr("&Help")), {cmd::kHelpTopics, cmd::kHelpOnHelp, cmd::kContextHelp, 0, cmd::kAbout}, this);
  return menus;
}

void CQorvexActions::FillToolBar(QToolBar* pToolBar) {
  for (unsigned id : kToolBar) {
    if (id == 0) {
      pToolBar->addSeparator();
    } else {
      pToolBar->addAction(Action(id));
    }
  }
}

void CQorvexActions::Apply(const CCommandState& s) {
  const bool main = s.mainExists;
  const bool mainShown = main && s.screen == 0;
  const bool anyField = s.inputField || s.originalField || s.outputField;
  const bool allFields = s.inputField && s.originalField && s.outputField;
  auto set = [this](unsigned id, bool enabled) { Action(id)->setEnabled(enabled); };
  auto check = [this](unsigned id, bool checked) { Action(id)->setChecked(checked); };

  set(cmd::kStartProcessing, s.bothScreens && mainShown && (s.multiple ? s.selectionRows > 0 : allFields));
  set(cmd::kCancelProcessing, main && s.currentSession);
  Action(cmd::kExit)->setText(LoadString(s.sessionRows > 0 ? ids::kExitBusy : ids::kExitIdle));

  const bool select = main && s.dirFocused && !s.highlighted.isEmpty() && mainShown;
  set(cmd::kSelect, select);
  Action(cmd::kSelect)
      ->setText(select ? LoadString(s.construct ? ids::kSelectModified : ids::kSelectDifference)
                       : tr(kCommands[3].text));
  set(cmd::kSelectOriginal, main && s.dirFocused && s.focusedHighlighted && mainShown);
  set(cmd::kReverseSelection, mainShown && s.multiple && s.dirItems > 0);
  set(cmd::kClearSelection, mainShown && s.marked > 0);
  set(cmd::kClearOriginal, mainShown && s.original);
  set(cmd::kClearAll, mainShown && (s.multiple ? s.marked > 0 || s.original : anyField));
  set(cmd::kAddFiles, mainShown && s.multiple && s.marked > 0 && (!s.construct || s.original));

  check(cmd::kToggleStatusBar, s.statusBarVisible);
  check(s.screen == 1 ? cmd::kScreenStatus : cmd::kScreenMain, true);
  const unsigned sortIds[] = {cmd::kSortByName, cmd::kSortBySize, cmd::kSortByType, cmd::kSortByDate};
  for (int key = 0; key < 4; ++key) set(sortIds[key], main);
  if (s.sortKey >= 0 && s.sortKey < 4) check(sortIds[s.sortKey], main);
  set(cmd::kMarkedInFront, mainShown);
  check(cmd::kMarkedInFront, main && s.markedInFront);
  set(cmd::kSortOrder, mainShown);
  Action(cmd::kSortOrder)->setText(LoadString(!main || s.ascending ? ids::kSortDescending : ids::kSortAscending));
  set(cmd::kRefresh, mainShown);
  for (unsigned id : {cmd::kConstruct, cmd::kReconstruct, cmd::kSingleFile, cmd::kMultipleFiles}) set(id, mainShown);
  for (const Construction& c : kConstructions) set(c.id, mainShown);
  check(s.construct ? cmd::kConstruct : cmd::kReconstruct, main);
  check(s.multiple ? cmd::kMultipleFiles : cmd::kSingleFile, main);

  set(cmd::kProperties, s.highlighted.size() == 1 && IsDeltaFileName(s.highlighted.front()));
  bool allMvr = !s.highlighted.isEmpty();
  for (const QString& path : s.highlighted) allMvr = allMvr && HasDeltaExtension(path);
  set(cmd::kReconstructNow, s.bothScreens && allMvr);
  set(cmd::kTreeOpen, main && s.treeFocused);
  Action(cmd::kTreeOpen)->setText(main && s.treeFocused && s.treeExpanded ? tr("&Collapse") : tr("&Open"));
}
