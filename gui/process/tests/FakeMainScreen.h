// A Main Interface for tests: plain fields and lists the test fills, and a
// record of what the frame asked of it.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "process/MainScreen.h"
#include "TarvoTaskEntry.h"

class FakeMainScreen : public QWidget, public CMainScreen {
 public:
  explicit FakeMainScreen(QWidget* parent = nullptr) : QWidget(parent) {}

  void AddSelection(const CTarvoTaskEntry& entry) { entries.push_back(std::make_unique<CTarvoTaskEntry>(entry)); }

  QWidget* Widget() override { return this; }
  bool IsConstructMode() const override { return construct; }
  // As the real view, the reload highlights the first item.
  void SetConstructFlag(bool c) override {
    construct = c;
    marked = 0;
    original = false;
    rehighlighted = items.isEmpty() ? QStringList() : QStringList{items.front()};
    ++constructFlagSets;
  }
  bool IsMultiple() const override { return multiple; }
  void SetSingleFileMode() override { multiple = false; }
  void SetMultipleFilesMode() override { multiple = true; }
  QString InputField() const override { return input; }
  QString OriginalField() const override { return originalField; }
  QString OutputField() const override { return output; }
  void SetInputField(const QString& t) override { input = t; }
  void SetOriginalField(const QString& t) override { originalField = t; }
  void SetOutputField(const QString& t) override {
    if (multiple) return;
    output = t;
    outputRecorded = false;
    outputAccepted = false;
  }
  void SetRecordedOutputField(const QString& t) override {
    if (multiple) return;
    output = t;
    outputRecorded = true;
    outputAccepted = false;
  }
  bool IsOutputFieldRecorded() const override { return outputRecorded; }
  void AcceptRecordedOutputField() override { outputAccepted = outputRecorded; }
  bool IsRecordedOutputFieldAccepted() const override { return outputRecorded && outputAccepted; }
  int SelectionCount() const override { return static_cast<int>(entries.size()); }
  CTarvoTaskEntry* SelectionEntry(int row) override {
    return row >= 0 && row < SelectionCount() ? entries[static_cast<std::size_t>(row)].get() : nullptr;
  }
  void RemoveAllSelections() override { entries.clear(); }
  bool IsDirViewFocused() const override { return dirFocused; }
  int DirItemCount() const override { return static_cast<int>(items.size()); }
  QStringList HighlightedPaths() const override { return highlightedPaths; }
  QStringList HighlightedTexts() const override { return highlightedTexts; }
  bool HasFocusedHighlighted() const override { return focusedHighlighted; }
  void ClearHighlight() override { rehighlighted.clear(); }
  bool HighlightItemByText(const QString& text) override {
    if (!items.contains(text)) return false;
    rehighlighted << text;
    return true;
  }
  int MarkedCount() const override { return marked; }
  bool HasOriginal() const override { return original; }
  void MarkHighlighted() override { marked = static_cast<int>(rehighlighted.size()); }
  void ChooseOriginal() override { original = true; }
  void ReverseMarks() override {}
  void ClearMarks() override { marked = 0; }
  void ClearOriginal() override { original = false; }
  // Queues one reconstruction per re-highlighted name, as the real screen
  // does from the marked difference files (folder `dir`).
  void AddMarkedFiles() override {
    for (const QString& name : rehighlighted) {
      CTarvoTaskEntry entry(nullptr, (dir + QLatin1Char('/') + name).toLocal8Bit().constData(), nullptr);
      if (entry.CompleteTargetOutput()) AddSelection(entry);
    }
    marked = 0;
  }
  int SortKey() const override { return sortKey; }
  void SetSortKey(int key) override { sortKey = key; }
  bool MarkedInFront() const override { return markedInFront; }
  void ToggleMarkedInFront() override { markedInFront = !markedInFront; }
  bool SortAscending() const override { return ascending; }
  void ReverseSortOrder() override { ascending = !ascending; }
  void Refresh() override { ++refreshes; }
  bool IsTreeFocused() const override { return false; }
  bool IsTreeSelectionExpanded() const override { return false; }
  void ToggleTreeSelection() override {}
  void PeriodicUpdate() override { ++periodicUpdates; }
  void ReleaseForExit() override {
    entries.clear();
    released = true;
  }
  void RestoreFocus() override {}
  unsigned HelpContext() const override { return 0x20000 + 130; }

  bool construct = true;
  bool multiple = false;
  QString input, originalField, output;
  bool outputRecorded = false;
  bool outputAccepted = false;
  std::vector<std::unique_ptr<CTarvoTaskEntry>> entries;
  bool dirFocused = false;
  QStringList items;  // the directory view's names
  QString dir;        // and their folder
  QStringList highlightedPaths, highlightedTexts, rehighlighted;
  bool focusedHighlighted = false;
  int marked = 0;
  bool original = false;
  int sortKey = 0;
  bool markedInFront = false;
  bool ascending = true;
  int refreshes = 0;
  int periodicUpdates = 0;
  int constructFlagSets = 0;
  bool released = false;
};
