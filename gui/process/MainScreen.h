// What the frame and the start of a processing session need from the Main
// Interface screen: its modes, its three fields, its selection list and the
// directory view's highlighted, marked and original files. The screen
// itself implements this; the frame never reaches past it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class CTarvoTaskEntry;

class CMainScreen {
 public:
  virtual ~CMainScreen() = default;

  virtual QWidget* Widget() = 0;

  // Modes. Construct is the directory view's flag; setting it (even to the
  // same value) clears the original choice and all marks and reloads the view.
  virtual bool IsConstructMode() const = 0;
  virtual void SetConstructFlag(bool construct) = 0;
  virtual bool IsMultiple() const = 0;
  virtual void SetSingleFileMode() = 0;
  virtual void SetMultipleFilesMode() = 0;

  // The three fields. SetOutputField has an effect only in Single File mode.
  // The Output field also knows where its name came from: taken from a
  // difference file (SetRecordedOutputField) until the user edits it, or
  // the user's (SetOutputField, typing, dropping a file on it).
  virtual QString InputField() const = 0;
  virtual QString OriginalField() const = 0;
  virtual QString OutputField() const = 0;
  virtual void SetInputField(const QString& text) = 0;
  virtual void SetOriginalField(const QString& text) = 0;
  virtual void SetOutputField(const QString& text) = 0;
  virtual void SetRecordedOutputField(const QString& text) = 0;
  virtual bool IsOutputFieldRecorded() const = 0;
  // The user said Yes to replacing what has the recorded name: the name
  // stays a recorded one (the core replaces that entry, a link as the link,
  // and never writes through it). Cleared with the recorded mark.
  virtual void AcceptRecordedOutputField() = 0;
  virtual bool IsRecordedOutputFieldAccepted() const = 0;

  // The selection list; each row owns its entry.
  virtual int SelectionCount() const = 0;
  virtual CTarvoTaskEntry* SelectionEntry(int row) = 0;
  virtual void RemoveAllSelections() = 0;

  // The directory view.
  virtual bool IsDirViewFocused() const = 0;
  virtual int DirItemCount() const = 0;
  virtual QStringList HighlightedPaths() const = 0;  // full paths, in list order
  virtual QStringList HighlightedTexts() const = 0;  // displayed names, in list order
  virtual bool HasFocusedHighlighted() const = 0;
  virtual void ClearHighlight() = 0;
  // Gives the item with exactly this text the highlighted and focused states.
  virtual bool HighlightItemByText(const QString& text) = 0;
  virtual int MarkedCount() const = 0;
  virtual bool HasOriginal() const = 0;
  virtual void MarkHighlighted() = 0;
  virtual void ChooseOriginal() = 0;
  virtual void ReverseMarks() = 0;
  virtual void ClearMarks() = 0;
  virtual void ClearOriginal() = 0;
  virtual void AddMarkedFiles() = 0;

  // Sorting of the directory view: keys 0 name, 1 size, 2 type, 3 date.
  virtual int SortKey() const = 0;
  virtual void SetSortKey(int key) = 0;
  virtual bool MarkedInFront() const = 0;
  virtual void ToggleMarkedInFront() = 0;
  virtual bool SortAscending() const = 0;
  virtual void ReverseSortOrder() = 0;

  // Refresh of the tree and the directory view; shows its own errors and
  // offers Retry.
  virtual void Refresh() = 0;

  // The shell tree's context command.
  virtual bool IsTreeFocused() const = 0;
  virtual bool IsTreeSelectionExpanded() const = 0;
  virtual void ToggleTreeSelection() = 0;

  virtual void PeriodicUpdate() = 0;
  // Empties the selection list and lets go of the browser's items at exit.
  virtual void ReleaseForExit() = 0;

  // Called when the screen comes to the front: the focus goes back where it was.
  virtual void RestoreFocus() = 0;
  // The help topic for F1 now: the focused control's, else the screen's.
  virtual unsigned HelpContext() const = 0;
};
