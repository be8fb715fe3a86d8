// The rows of the file list: one record per file, owned here and nowhere
// else, with what each column shows and what it sorts by. The marks and the
// original belong to the view; the mark column asks the view for its text.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <memory>
#include <vector>

#include "browser/DirViewFile.h"

class CDirViewModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What a column sorts by: the name and the type as text, the size as a
  // number, the time in whole seconds.
  static constexpr int kSortRole = Qt::UserRole + 1;

  struct Row {
    std::unique_ptr<CDirViewFile> file;
    QIcon icon;
  };
  using MarkText = std::function<QString(const CDirViewFile&)>;
  // Negative when a goes first.
  using Compare = std::function<int(const CDirViewFile& a, const CDirViewFile& b)>;

  explicit CDirViewModel(MarkText markText, QObject* pParent = nullptr);
  ~CDirViewModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void SetRows(std::vector<Row> rows);
  void Clear();
  const CDirViewFile* File(int row) const;
  const Row* RowAt(int row) const;
  int RowOf(const QString& fullPath) const;
  // The mark column of one row, or of every row, has changed.
  void MarkChanged(int row);
  void MarksChanged();
  // A stable sort in one pass; the selection and the focused row follow
  // their files.
  void SortRows(const Compare& compare);

 private:
  MarkText m_MarkText;
  std::vector<Row> m_Rows;
};
