#include "ViewerFields.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "FieldText.h"
#include "RecordedFiles.h"
#include "platform/RegularFile.h"

namespace mvrview {

namespace {

// As many bytes as the file has, up to size; -1 on a read error (a folder
// opens but cannot be read).
ssize_t ReadStart(int fd, unsigned char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, buffer + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

}  // namespace

ViewerFileState ReadViewerFields(const std::string& path, ViewerFields* fields) {
  *fields = ViewerFields{};
  // Only a regular file is read, and opening never waits: a FIFO or a
  // device would otherwise hold the window before it is ever painted.
  const int fd = platform::OpenRegularFile(path.c_str());
  if (fd < 0) return ViewerFileState::Unreadable;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return ViewerFileState::Unreadable;
  }
  unsigned char start[kViewerReadSize];
  const ssize_t got = ReadStart(fd, start, sizeof start);
  ::close(fd);
  if (got < 0) return ViewerFileState::Unreadable;

  RecordedFiles files;
  if (!ParseRecordedFiles(start, static_cast<std::size_t>(got), &files)) {
    return ViewerFileState::NotDifferenceFile;
  }
  fields->originalName = VisibleName(files.originalName);
  fields->originalSize = FormatKb(files.originalSize);
  fields->modifiedName = VisibleName(files.modifiedName);
  fields->modifiedSize = FormatKb(files.modifiedSize);
  // When the file was last written is when it was constructed, as far as
  // anyone can tell afterwards.
  fields->constructedOn = FormatConstructionTime(st.st_mtime);
  return ViewerFileState::Shown;
}

}  // namespace mvrview
