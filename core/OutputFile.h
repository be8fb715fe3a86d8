// An output file that appears under its final name only when a run has a
// result to show. It is written in the final name's folder under no name
// (O_TMPFILE) or, where the file system cannot do that, under a hidden
// unique one, so that a failed or killed run never destroys a file that was
// there before, and nothing is written through a link or into a device.
// The folder is opened once and everything after that is done relative to
// it, so a folder swapped for a link during the run cannot redirect it.
#pragma once

#include <sys/types.h>

#include <string>

#include "PosixFile.h"

namespace tarvo {

class OutputFile {
 public:
  enum class Status {
    Ok,
    Exists,       // something is there and the name may not replace anything
    NotRegular,   // a folder, device, FIFO or socket is there
    CannotCreate, // no folder, a name too long, or a file the caller may not write
  };

  OutputFile() = default;
  ~OutputFile() { Discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Looks at what is at path now. A name the user typed may replace a
  // regular file that the caller may write (through a link to one, the file
  // itself); a name from a difference file (`mayReplace` false) may replace
  // nothing at all.
  Status Prepare(const std::string& path, bool mayReplace);
  // The same for the entry `base` of an open folder (the descriptor is
  // copied, so the caller keeps its own): a recorded name, which is never
  // followed. `mayReplace` (the user said yes) lets it replace a regular
  // file, or a link as the link itself; never what the link points to.
  Status PrepareAt(int folder, const std::string& base, bool mayReplace);
  // Whether Prepare found an entry under the final name.
  bool Existed() const { return existed_; }
  // Creates the file the result is written to, open for reading and
  // writing: unnamed in the final folder or, for a file that is to be
  // overwritten in place, a temporary file elsewhere.
  Status Create();
  PosixFile& File() { return file_; }

  // Success: the file takes the final name, replacing what was there; or,
  // in place, its bytes are copied over the old file's.
  bool Commit();
  // After a failed Commit: the copy over the old file had begun, so that
  // file is damaged.
  bool Damaged() const { return damaged_; }
  // A failure whose partial result stays: it takes the final name only where
  // nothing was there before; else it goes and the old file stays.
  void Keep();
  // Failure: the file goes; whatever had the final name stays.
  void Discard();

 private:
  Status Examine(bool mayReplace);
  void Reset();
  bool CopyOver();
  bool Publish(bool replace);
  bool LinkUnnamed(const std::string& to);
  bool NameHidden(int fd);
  void Forget();

  std::string base_;     // the final name inside folder_
  std::string hidden_;   // the fallback's name inside folder_
  int folder_ = -1;      // O_PATH descriptor of the final name's folder
  int removal_ = -1;     // signal clean-up slot of hidden_
  bool existed_ = false;
  bool unnamed_ = false;
  // The old file cannot be replaced by a new one (the folder takes no new
  // file, or the file is another user's and a new one could not be given
  // back to them), but it may be written: the result is rebuilt and checked
  // in a temporary file, and only then copied over it.
  bool inPlace_ = false;
  bool damaged_ = false;
  PosixFile target_;  // in place: the old file, open for writing
  mode_t mode_ = 0;  // a replaced file's permissions, 0 for a new file
  uid_t owner_ = 0;
  gid_t group_ = 0;
  PosixFile file_;
};

// Whether a path can name a file on this system at all: no component longer
// than NAME_MAX, the whole shorter than PATH_MAX.
bool NameFits(const std::string& path);

}  // namespace tarvo
