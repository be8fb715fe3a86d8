// One folder of the file system as the browser sees it: its name, what it
// is, its children and its pictures. Every failure is thrown as a
// CShellFolderException carrying the result code of the condition and the
// folder's display name.
#pragma once

#include <dirent.h>

#include <QIcon>
#include <QString>
#include <cstdint>
#include <memory>

#include "errors/InterfaceException.h"

class CShellFolder {
 public:
  // Attribute bits of a folder or child.
  static constexpr std::uint32_t kAttrHasSubfolder = 0x80000000u;
  static constexpr std::uint32_t kAttrFileSystem = 0x40000000u;
  static constexpr std::uint32_t kAttrFolder = 0x20000000u;
  static constexpr std::uint32_t kAttrHidden = 0x00080000u;
  static constexpr std::uint32_t kAttrLink = 0x00010000u;

  // What an enumeration lists: folders, other items, or both.
  static constexpr unsigned kEnumFolders = 0x20;
  static constexpr unsigned kEnumNonFolders = 0x40;
  static constexpr unsigned kEnumIncludeHidden = 0x80;

  // The root of the namespace, "/".
  CShellFolder();
  // The child folder `name` of pParent (which is only read here).
  CShellFolder(const CShellFolder* pParent, const QString& name);
  // A folder by its absolute path, with no parent record.
  static std::unique_ptr<CShellFolder> FromPath(const QString& path);
  virtual ~CShellFolder();
  CShellFolder(const CShellFolder&) = delete;
  CShellFolder& operator=(const CShellFolder&) = delete;

  virtual const char* GetRuntimeClassName() const;

  bool IsRoot() const { return m_strPath == QLatin1String("/"); }
  // The item's name within its parent; empty for the root.
  const QString& GetItemName() const { return m_strItemName; }
  const QString& GetDisplayName() const { return m_strDisplayName; }
  std::uint32_t GetAttributes() const { return m_dwAttributes; }
  // The folder's absolute file-system path.
  const QString& GetPath() const { return m_strPath; }

  // Starts listing the children; Next hands them out one at a time and
  // returns false at the end.
  void EnumObjects(unsigned flags);
  bool Next(QString* pChildName);

  QString GetChildDisplayName(const QString& childName) const;
  QString GetChildPath(const QString& childName) const;
  std::uint32_t GetChildAttributes(const QString& childName) const;

  // Order of two children's identifiers: 0 for the same item.
  int CompareIDs(const QString& a, const QString& b) const;

  // The folder's picture, closed or open, from the desktop's icon theme.
  QIcon GetIcon(bool bOpen) const;

 private:
  void ReadSelf();
  [[noreturn]] void Throw(int err) const;

  QString m_strItemName;
  QString m_strPath;
  QString m_strDisplayName;
  std::uint32_t m_dwAttributes = 0;
  DIR* m_pEnum = nullptr;
  unsigned m_nEnumFlags = 0;
};
