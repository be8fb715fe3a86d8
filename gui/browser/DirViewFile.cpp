#include "browser/DirViewFile.h"

#include <sys/stat.h>

#include <QFile>

#include "TarvoFileLib.h"

CDirViewFile::CDirViewFile(const QString& folderPath, const QString& itemName, const QString& displayName,
                           const QString& fullPath)
    : m_strFolderPath(folderPath), m_strItemName(itemName), m_strDisplayName(displayName), m_strFullPath(fullPath) {
  static const char* const kDeltaExtension[] = {".mvr", nullptr};
  m_bDeltaFile = TFLCheckFileStdExtension(QFile::encodeName(fullPath).constData(), kDeltaExtension) == 0;
  struct stat info {};
  if (::stat(QFile::encodeName(fullPath).constData(), &info) != 0) return;
  m_bExists = true;
  m_dwSize = static_cast<std::uint32_t>(static_cast<std::uint64_t>(info.st_size) & 0xFFFFFFFFu);
  // Whole seconds, as the list shows them: files saved within the same
  // second are equally old, and their names decide.
  m_nLastWriteSeconds = info.st_mtim.tv_sec;
  m_LastWriteTime = QDateTime::fromSecsSinceEpoch(m_nLastWriteSeconds);
}

CDirViewFile::~CDirViewFile() = default;

const char* CDirViewFile::GetRuntimeClassName() const { return "CDirViewFile"; }
