#include <sys/stat.h>

#include <QApplication>

#include "FindReferenceDlg.h"
#include "MvrFind.h"
#include "StartPath.h"
#include "TarvoFileLib.h"

namespace {

QString FromLocal(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

CMvrFindResult FindReferenceFile(const char* originalFile, unsigned long size,
                                 unsigned long checksum, const TypeHeadDeltaFile& header,
                                 std::string& foundPath, QWidget* owner) {
  struct stat st {};
  if (originalFile != nullptr && ::stat(originalFile, &st) == 0 && !S_ISDIR(st.st_mode)) {
    foundPath = originalFile;
    return MVRFIND_FOUND;
  }

  CFindReferenceDlg dialog(owner != nullptr ? owner : QApplication::activeWindow());
  dialog.SetFileName(FromLocal(TFLGetFileName(originalFile)));
  dialog.SetStartPath(FromLocal(mvrfind::RememberedStartPath()));
  // The header stores 32-bit values; unsigned long only carries them.
  dialog.SetWanted(static_cast<uint32_t>(size), static_cast<uint32_t>(checksum),
                   header.chSignature[sizeof header.chSignature - 1]);
  dialog.exec();

  if (dialog.Result() != MVRFIND_FOUND) return MVRFIND_CANCELLED;
  // Where the user searched from, not where the file was: the next original
  // is likely somewhere in the same tree.
  mvrfind::RememberStartPath(dialog.StartPath().toLocal8Bit().toStdString());
  foundPath = dialog.FoundPath();
  return MVRFIND_FOUND;
}
