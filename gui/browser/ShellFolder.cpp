#include "browser/ShellFolder.h"

#include <sys/stat.h>

#include <QFile>
#include <cerrno>

#include "errors/ErrnoHResult.h"

namespace {

QString JoinPath(const QString& folder, const QString& name) {
  return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Attributes of a path: links are followed, so a link to a folder is a folder.
std::uint32_t AttributesOf(const QString& path, const QString& name) {
  const QByteArray native = QFile::encodeName(path);
  std::uint32_t attributes = CShellFolder::kAttrFileSystem;
  struct stat info {};
  if (::lstat(native.constData(), &info) == 0 && S_ISLNK(info.st_mode))
    attributes |= CShellFolder::kAttrLink;
  if (::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode))
    // A folder is offered as expandable until a listing finds nothing in it.
    attributes |= CShellFolder::kAttrFolder | CShellFolder::kAttrHasSubfolder;
  if (name.startsWith(QLatin1Char('.'))) attributes |= CShellFolder::kAttrHidden;
  return attributes;
}

}  // namespace

CShellFolder::CShellFolder() : m_strPath(QStringLiteral("/")) { ReadSelf(); }

CShellFolder::CShellFolder(const CShellFolder* pParent, const QString& name)
    : m_strItemName(name), m_strPath(JoinPath(pParent->GetPath(), name)) {
  ReadSelf();
}

std::unique_ptr<CShellFolder> CShellFolder::FromPath(const QString& path) {
  auto folder = std::make_unique<CShellFolder>();
  folder->m_strPath = path.isEmpty() ? QStringLiteral("/") : path;
  const qsizetype slash = folder->m_strPath.lastIndexOf(QLatin1Char('/'));
  folder->m_strItemName = folder->m_strPath == QLatin1String("/") ? QString() : folder->m_strPath.mid(slash + 1);
  folder->ReadSelf();
  return folder;
}

CShellFolder::~CShellFolder() {
  if (m_pEnum != nullptr) ::closedir(m_pEnum);
}

const char* CShellFolder::GetRuntimeClassName() const { return "CShellFolder"; }

void CShellFolder::ReadSelf() {
  m_strDisplayName = m_strItemName.isEmpty() ? m_strPath : m_strItemName;
  struct stat info {};
  if (::stat(QFile::encodeName(m_strPath).constData(), &info) != 0) Throw(errno);
  if (!S_ISDIR(info.st_mode)) Throw(ENOTDIR);
  m_dwAttributes = AttributesOf(m_strPath, m_strItemName);
}

void CShellFolder::Throw(int err) const {
  CShellFolderException e(0, HResultFromErrno(err));
  e.m_strObjectName = m_strDisplayName;
  throw e;
}

void CShellFolder::EnumObjects(unsigned flags) {
  if (m_pEnum != nullptr) ::closedir(m_pEnum);
  m_pEnum = ::opendir(QFile::encodeName(m_strPath).constData());
  if (m_pEnum == nullptr) Throw(errno);
  m_nEnumFlags = flags;
}

bool CShellFolder::Next(QString* pChildName) {
  if (m_pEnum == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(m_pEnum);
    if (entry == nullptr) {
      const int err = errno;
      ::closedir(m_pEnum);
      m_pEnum = nullptr;
      if (err != 0) Throw(err);
      return false;
    }
    const QString name = QFile::decodeName(entry->d_name);
    if (name == QLatin1String(".") || name == QLatin1String("..")) continue;
    if ((m_nEnumFlags & kEnumIncludeHidden) == 0 && name.startsWith(QLatin1Char('.'))) continue;
    const bool folder = (GetChildAttributes(name) & kAttrFolder) != 0;
    if (folder ? (m_nEnumFlags & kEnumFolders) == 0 : (m_nEnumFlags & kEnumNonFolders) == 0) continue;
    *pChildName = name;
    return true;
  }
}

QString CShellFolder::GetChildDisplayName(const QString& childName) const { return childName; }

QString CShellFolder::GetChildPath(const QString& childName) const { return JoinPath(m_strPath, childName); }

std::uint32_t CShellFolder::GetChildAttributes(const QString& childName) const {
  return AttributesOf(GetChildPath(childName), childName);
}

int CShellFolder::CompareIDs(const QString& a, const QString& b) const {
  return a.compare(b, Qt::CaseSensitive);
}

QIcon CShellFolder::GetIcon(bool bOpen) const {
  static const QIcon closed = QIcon::fromTheme(QStringLiteral("folder"), QIcon(QStringLiteral(":/Qorvex/icons/folder.png")));
  static const QIcon open = QIcon::fromTheme(QStringLiteral("folder-open"), closed);
  if (IsRoot())
    return QIcon::fromTheme(QStringLiteral("drive-harddisk"), closed);
  return bOpen ? open : closed;
}
