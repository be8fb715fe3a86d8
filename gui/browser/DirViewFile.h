// The record behind one row of the directory view: the file's names and,
// when the file can be looked at, its size and last write time.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

class CDirViewFile {
 public:
  // Looks the file up now; a file that cannot be looked at (a link to
  // nowhere, a file that just went away) keeps exists clear.
  CDirViewFile(const QString& folderPath, const QString& itemName, const QString& displayName,
               const QString& fullPath);
  virtual ~CDirViewFile();
  CDirViewFile(const CDirViewFile&) = default;
  CDirViewFile& operator=(const CDirViewFile&) = default;

  virtual const char* GetRuntimeClassName() const;

  const QString& GetFolderPath() const { return m_strFolderPath; }
  const QString& GetItemName() const { return m_strItemName; }
  const QString& GetDisplayName() const { return m_strDisplayName; }
  const QString& GetFullPath() const { return m_strFullPath; }
  bool Exists() const { return m_bExists; }
  const QDateTime& GetLastWriteTime() const { return m_LastWriteTime; }
  // The same in whole seconds since the epoch (0 when the file could not be
  // looked at): what the list sorts by.
  qint64 GetLastWriteSeconds() const { return m_nLastWriteSeconds; }
  // The ".mvr" files: what may be marked in Reconstruct mode, and only then.
  bool IsDeltaFile() const { return m_bDeltaFile; }
  // The description of the file's type, as the list shows it.
  const QString& GetTypeName() const { return m_strTypeName; }
  void SetTypeName(const QString& name) { m_strTypeName = name; }
  // The low 32 bits of the size, as the list shows it.
  std::uint32_t GetSize() const { return m_dwSize; }

 private:
  QString m_strFolderPath;
  QString m_strItemName;
  QString m_strDisplayName;
  QString m_strFullPath;
  bool m_bExists = false;
  QDateTime m_LastWriteTime;
  qint64 m_nLastWriteSeconds = 0;
  bool m_bDeltaFile = false;
  QString m_strTypeName;
  std::uint32_t m_dwSize = 0;
};
