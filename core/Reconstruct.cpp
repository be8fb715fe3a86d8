// Rebuilding a modified file. Nothing from the difference file is trusted
// until it has been checked: header, whole-file checksum and the original's
// size and checksum come first, and only then is the output created. Every
// record is bounds-checked as it is decoded, and the result is read back
// and checked against the recorded checksum and size.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "Decompress.h"
#include "RecordDecoder.h"
#include "Format.h"
#include "LastMessage.h"
#include "MvrCodec.h"
#include "MvrFileInfo.h"
#include "Notify.h"
#include "OutputFile.h"
#include "PosixFile.h"
#include "RecordedName.h"
#include "SizedRecord.h"
#include "TarvoCore.h"
#include "TempFile.h"
#include "TestHook.h"
#include "WindowCache.h"
#include "platform/Files.h"
#include "platform/RegularFile.h"

namespace tarvo {
namespace {

constexpr S_TARVO_RECONSTRUCT_OPTIONS kDefaultOptions{sizeof(S_TARVO_RECONSTRUCT_OPTIONS), 1, 0, 0, nullptr};
constexpr size_t kWorkSize = 131072;

// Which file a failing read, write or seek belongs to decides the code.
enum class Phase { ReadDelta, ReadOriginal, WriteOutput, VerifyOutput };

E_TARVO_ERROR CodeFor(Phase phase) {
  switch (phase) {
    case Phase::ReadDelta: return TARVO_ERR_READ_DELTA;
    case Phase::ReadOriginal: return TARVO_ERR_READ_ORIGINAL;
    case Phase::WriteOutput: return TARVO_ERR_WRITE_OUTPUT;
    case Phase::VerifyOutput: break;
  }
  return TARVO_ERR_READ_OUTPUT;
}

// Ends the call with a code; `removeOutput` says whether the output goes too.
struct Stop {
  E_TARVO_ERROR code;
  bool removeOutput;
};

class Reconstruction {
 public:
  Reconstruction(const char* original, const char* delta, const char* output, const Notifier& notifier,
                 const S_TARVO_RECONSTRUCT_OPTIONS& options, bool verifyOnly = false)
      : originalPath_(original), deltaPath_(delta), outputPath_(output), notifier_(notifier),
        options_(options), verifyOnly_(verifyOnly) {}

  E_TARVO_ERROR Run() {
    try {
      return Steps();
    } catch (const Stop& stop) {
      return Finish(stop);
    } catch (const CFileException&) {
      // After the output exists, a failed read or write takes it away.
      return Finish({CodeFor(phase_), true});
    } catch (const std::bad_alloc&) {
      return Finish({TARVO_ERR_NO_MEMORY, true});
    }
  }

 private:
  E_TARVO_ERROR Finish(const Stop& stop) {
    original_.Close();
    delta_.Close();
    code_.Remove();
    if (stop.removeOutput) {
      output_.Discard();
    } else {
      output_.Keep();
    }
    return stop.code;
  }

  // The difference file's folder is opened first and the difference file
  // through it: a recorded name is then created in that very folder, even
  // if its path names another one by the time the output is made. The
  // difference file itself is the user's name, and a link there is
  // followed, as any program opening it would.
  bool OpenDelta() {
    const size_t slash = deltaPath_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : deltaPath_.substr(0, slash);
    const std::string base = slash == std::string::npos ? deltaPath_ : deltaPath_.substr(slash + 1);
    if (base.empty()) return false;
    deltaFolder_.Attach(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!deltaFolder_.IsOpen()) return false;
    delta_.Attach(platform::OpenRegularFileAt(deltaFolder_.Descriptor(), base.c_str(), O_RDONLY));
    return delta_.IsOpen();
  }

  // Where a recorded name goes: the folder the host names for it, else the
  // difference file's own. Its path for reports and questions.
  bool OpenRecordedFolder(std::string_view base) {
    const bool named = options_.pszRecordedFolder != nullptr && options_.pszRecordedFolder[0] != '\0';
    if (named) {
      const std::string folder = options_.pszRecordedFolder;
      recordedFolder_.Attach(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
      if (!recordedFolder_.IsOpen()) return false;
      if (!base.empty()) outputPath_ = (folder.back() == '/' ? folder : folder + "/") + std::string(base);
    } else {
      recordedFolder_.Attach(::fcntl(deltaFolder_.Descriptor(), F_DUPFD_CLOEXEC, 0));
      if (!recordedFolder_.IsOpen()) return false;
      if (!base.empty()) outputPath_ = RecordedTargetPath(deltaPath_, base);
    }
    return true;
  }

  // Whether the entry `base` of the recorded folder is one of the inputs
  // (a link there is not: it is replaced, not written through).
  bool IsAnInput(const std::string& base) const {
    struct stat at {}, in {};
    if (::fstatat(recordedFolder_.Descriptor(), base.c_str(), &at, AT_SYMLINK_NOFOLLOW) != 0) return false;
    for (const PosixFile* f : {&original_, &delta_}) {
      if (::fstat(f->Descriptor(), &in) == 0 && in.st_dev == at.st_dev && in.st_ino == at.st_ino) return true;
    }
    return false;
  }

  E_TARVO_ERROR Steps() {
    if (!OpenDelta()) return TARVO_ERR_OPEN_DELTA;
    CDeltaFileInfo info;
    {
      uint8_t head[CDeltaFileInfo::kReadSize];
      const size_t got = delta_.ReadAt(head, sizeof head, 0);
      if (got < kDeltaMinFileSize || info.PrepareInfo(head, static_cast<int>(got)) == 0) {
        throw Stop{TARVO_ERR_BAD_DELTA, false};
      }
    }

    if (originalPath_.empty()) originalPath_ = RecordedOriginalPath(deltaPath_, info.GetReferenceFileName());
    if (!original_.OpenRegular(originalPath_.c_str())) throw Stop{TARVO_ERR_OPEN_ORIGINAL, false};

    // Where the output goes is known now. A name recorded in the difference
    // file comes from whoever made it: it may create a new file beside the
    // difference file, and never replace or write through anything that is
    // already there unless the user said yes, and then only that entry; a
    // host that took the name from the file itself says so and gets the
    // same rule. A name the file system cannot take fails before the
    // checksum passes, not after the whole job.
    const bool recorded = outputPath_.empty() || options_.bRecordedTargetName != 0;
    std::string recordedBase;
    if (verifyOnly_) {
      outputPath_ = deltaPath_;  // only named in progress reports
    } else if (recorded) {
      recordedBase = RecordedTargetBase(outputPath_.empty() ? info.GetTargetFileName() : outputPath_);
      // A host's copy of a name with a NUL in it is the name cut short.
      if (info.GetTargetFileName().find('\0') != std::string::npos) recordedBase.clear();
      outputPath_.clear();
      if (!OpenRecordedFolder(recordedBase)) throw Stop{TARVO_ERR_CREATE_OUTPUT, false};
    }
    if (!verifyOnly_ && !NameFits(recorded ? recordedBase : outputPath_)) throw Stop{TARVO_ERR_CREATE_OUTPUT, false};

    phase_ = Phase::ReadOriginal;
    const uint64_t originalSize = original_.Length();
    work_.reset(new (std::nothrow) uint8_t[kWorkSize]);
    if (!work_) throw Stop{TARVO_ERR_NO_MEMORY, false};

    phase_ = Phase::ReadDelta;
    delta_.Seek(0);
    const size_t headRead = delta_.Read(work_.get(), kWorkSize);
    const uint64_t deltaSize = delta_.Length();
    const TypeHeadDeltaFile h = HeaderFromBytes(work_.get());  // at least 58 bytes: prepared
    version_ = h.chSignature[15];
    if (h.dwDeltaFileSize != deltaSize || std::memcmp(h.chMagic, kDeltaMagic, 4) != 0) throw Stop{TARVO_ERR_BAD_DELTA, false};
    if (!MvrKnownVersion(version_)) throw Stop{TARVO_ERR_BAD_DELTA, false};
    if (deltaSize < kDeltaMinFileSize) throw Stop{TARVO_ERR_BAD_DELTA, false};
    if (h.dwReferenceFileSize != originalSize) throw Stop{TARVO_ERR_WRONG_ORIGINAL, false};
    const uint64_t codeOffset = uint64_t{kDeltaHeaderSize} + h.wTargetNameLength + h.wReferenceNameLength;

    std::memset(work_.get(), 0, 4);
    uint32_t crc = Checksum(0, work_.get(), headRead);
    if (headRead == kWorkSize) crc = ChecksumRest(delta_, crc);
    if (crc != h.dwDeltaCheckSum) throw Stop{TARVO_ERR_BAD_DELTA, false};

    phase_ = Phase::ReadOriginal;
    original_.Seek(0);
    if (ChecksumRest(original_, 0) != h.dwReferenceFileCheckSum) throw Stop{TARVO_ERR_WRONG_ORIGINAL, false};

    if (verifyOnly_) return VerifyBody(h, codeOffset);
    TestPointAfterChecks();
    if (outputPath_.empty()) throw Stop{TARVO_ERR_CREATE_OUTPUT, false};  // a refused recorded name
    const char* output = outputPath_.c_str();
    // Replacing an input would rebuild from a file that is being replaced.
    OutputFile::Status prepared = OutputFile::Status::CannotCreate;
    if (recorded) {
      if (IsAnInput(recordedBase)) throw Stop{TARVO_ERR_CREATE_OUTPUT, false};
      prepared = output_.PrepareAt(recordedFolder_.Descriptor(), recordedBase, options_.bReplaceRecorded != 0);
    } else {
      if (platform::SameFile(output, originalPath_.c_str()) || platform::SameFile(output, deltaPath_.c_str())) {
        throw Stop{TARVO_ERR_CREATE_OUTPUT, false};
      }
      prepared = output_.Prepare(outputPath_, true);
    }
    switch (prepared) {
      case OutputFile::Status::Ok: break;
      case OutputFile::Status::Exists: throw Stop{TARVO_ERR_OVERWRITE_REFUSED, false};
      case OutputFile::Status::NotRegular:
      case OutputFile::Status::CannotCreate: throw Stop{TARVO_ERR_CREATE_OUTPUT, false};
    }
    if (options_.bNotifyOverwrite != 0 && output_.Existed() && notifier_.FileExists(output) != 0) {
      throw Stop{TARVO_ERR_OVERWRITE_REFUSED, false};
    }
    if (output_.Create() != OutputFile::Status::Ok) throw Stop{TARVO_ERR_CREATE_OUTPUT, false};
    if (!code_.Create()) throw Stop{TARVO_ERR_BAD_DELTA, true};

    const uint32_t total = h.dwTargetFileSize;
    notifier_.Progress(output, 0, total);

    phase_ = Phase::ReadDelta;
    switch (UnpackBody(version_, delta_, codeOffset, code_.File(),
                       CodeStreamLimit(h.dwReferenceFileSize, h.dwTargetFileSize))) {
      case BodyResult::Ok: break;
      case BodyResult::Damaged: throw Stop{TARVO_ERR_BAD_DELTA, false};
      // Not the difference file's fault: nothing is left under the name
      // that would make a rerun refuse it.
      case BodyResult::WriteFailed: throw Stop{TARVO_ERR_BAD_DELTA, true};
      case BodyResult::SeekFailed: throw Stop{TARVO_ERR_READ_DELTA, true};
    }
    const uint64_t written = Decode(h, total);

    original_.Close();
    delta_.Close();
    code_.Remove();
    notifier_.Progress(output, static_cast<uint32_t>(std::min<uint64_t>(written, UINT32_MAX)), total);

    // Read back what reached the disk, through the same descriptor: the
    // file has no name of its own yet.
    phase_ = Phase::VerifyOutput;
    output_.File().Seek(0);
    const uint32_t result = ChecksumRest(output_.File(), 0);
    work_.reset();
    if (result != h.dwTargetFileCheckSum) throw Stop{TARVO_ERR_BAD_RESULT, false};
    if (written != total) throw Stop{TARVO_ERR_SIZE_MISMATCH, true};
    phase_ = Phase::WriteOutput;
    if (!output_.Commit()) {
      if (output_.Damaged()) SetLastMessage(kTarvoMessageOldFileDamaged);
      throw CFileException{errno};
    }
    return TARVO_OK;
  }

  // Every check of a rebuild with the output counted and checksummed in
  // memory instead of written, so that nothing on disk changes.
  E_TARVO_ERROR VerifyBody(const TypeHeadDeltaFile& h, uint64_t codeOffset) {
    if (!code_.Create()) throw Stop{TARVO_ERR_BAD_DELTA, false};
    const uint32_t total = h.dwTargetFileSize;
    notifier_.Progress(outputPath_.c_str(), 0, total);
    phase_ = Phase::ReadDelta;
    switch (UnpackBody(version_, delta_, codeOffset, code_.File(),
                       CodeStreamLimit(h.dwReferenceFileSize, h.dwTargetFileSize))) {
      case BodyResult::Ok: break;
      case BodyResult::Damaged:
      case BodyResult::WriteFailed: throw Stop{TARVO_ERR_BAD_DELTA, false};
      case BodyResult::SeekFailed: throw Stop{TARVO_ERR_READ_DELTA, false};
    }
    const uint64_t written = Decode(h, total);
    notifier_.Progress(outputPath_.c_str(), static_cast<uint32_t>(std::min<uint64_t>(written, UINT32_MAX)), total);
    if (resultCrc_ != h.dwTargetFileCheckSum) throw Stop{TARVO_ERR_BAD_RESULT, false};
    if (written != total) throw Stop{TARVO_ERR_SIZE_MISMATCH, false};
    throw Stop{TARVO_OK, false};
  }

  // The record pass: the code file holds the records, the work buffer
  // gathers the output.
  uint64_t Decode(const TypeHeadDeltaFile& h, uint32_t total) {
    code_.File().Seek(0);
    const uint64_t streamSize = code_.File().Length();
    CodeReader in(code_.File(), streamSize, phase_);
    WindowCache original(original_);
    FileOutput out(*this, total, original);
    const DecodeResult r = DecodeRecords(in, streamSize, h.dwReferenceFileSize, total, out);
    switch (r.status) {
      case DecodeStatus::Ok: break;
      case DecodeStatus::Damaged: out.Flush(); throw Stop{TARVO_ERR_BAD_DELTA, false};
      case DecodeStatus::Cancelled: throw Stop{TARVO_ERR_CANCELLED, true};
    }
    out.Flush();
    return r.written;
  }

  // Reads the code file a buffer at a time.
  class CodeReader final : public RecordInput {
   public:
    CodeReader(PosixFile& file, uint64_t size, Phase& phase) : file_(file), left_(size), phase_(phase) {}
    void Read(uint8_t* dest, size_t n) override {
      while (n > 0) {
        if (at_ == end_) Refill();
        const size_t k = std::min(n, end_ - at_);
        std::memcpy(dest, buf_ + at_, k);
        at_ += k;
        dest += k;
        n -= k;
      }
    }

   private:
    void Refill() {
      phase_ = Phase::ReadDelta;
      const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof buf_, left_));
      if (want == 0 || file_.Read(buf_, want) != want) throw CFileException{0};
      left_ -= want;
      at_ = 0;
      end_ = want;
    }
    PosixFile& file_;
    uint64_t left_;
    Phase& phase_;
    uint8_t buf_[1 << 16];
    size_t at_ = 0, end_ = 0;
  };

  // Gathers output bytes in the work buffer; copies come from the original.
  class FileOutput final : public RecordOutput {
   public:
    FileOutput(Reconstruction& r, uint32_t total, WindowCache& original) : r_(r), total_(total), original_(original) {}
    void Copy(uint64_t offset, uint64_t length) override {
      while (length != 0) {
        const size_t n = Room(length);
        r_.phase_ = Phase::ReadOriginal;
        original_.Read(r_.work_.get() + fill_, n, offset);
        fill_ += n;
        offset += n;
        length -= n;
      }
    }
    void Insert(RecordInput& in, uint64_t length) override {
      while (length != 0) {
        const size_t n = Room(length);
        in.Read(r_.work_.get() + fill_, n);
        fill_ += n;
        length -= n;
      }
    }
    bool Checkpoint(uint64_t written) override {
      const auto done = static_cast<uint32_t>(std::min<uint64_t>(written, UINT32_MAX));
      return r_.notifier_.Progress(r_.outputPath_.c_str(), done, total_) != 0;
    }
    void Flush() {
      if (r_.verifyOnly_) {
        r_.resultCrc_ = r_.Checksum(r_.resultCrc_, r_.work_.get(), fill_);
        fill_ = 0;
        return;
      }
      r_.phase_ = Phase::WriteOutput;
      r_.output_.File().Write(r_.work_.get(), fill_);
      fill_ = 0;
    }

   private:
    size_t Room(uint64_t wanted) {
      if (fill_ == kWorkSize) Flush();
      return static_cast<size_t>(std::min<uint64_t>(wanted, kWorkSize - fill_));
    }
    Reconstruction& r_;
    uint32_t total_;
    WindowCache& original_;
    size_t fill_ = 0;
  };

  uint32_t Checksum(uint32_t crc, const void* data, size_t size) const {
    return MvrChecksum(version_, crc, data, size);
  }

  // Folds the rest of file into crc through the work buffer.
  uint32_t ChecksumRest(PosixFile& file, uint32_t crc) {
    for (;;) {
      const size_t got = file.Read(work_.get(), kWorkSize);
      crc = Checksum(crc, work_.get(), got);
      if (got < kWorkSize) return crc;
    }
  }

  std::string originalPath_, deltaPath_, outputPath_;
  const Notifier& notifier_;
  const S_TARVO_RECONSTRUCT_OPTIONS options_;
  const bool verifyOnly_;
  uint32_t resultCrc_ = 0;
  PosixFile deltaFolder_, recordedFolder_;  // O_PATH descriptors
  PosixFile delta_, original_;
  OutputFile output_;
  TempFile code_;
  std::unique_ptr<uint8_t[]> work_;
  char version_ = kDeltaVersion2;
  Phase phase_ = Phase::ReadDelta;
};

}  // namespace
}  // namespace tarvo

TARVOCORE_API E_TARVO_ERROR ReconstructTargetFile(const char* originalPath, const char* deltaPath,
                                                  const char* modifiedPath,
                                                  const S_TARVO_NOTIFY_INFO* notify,
                                                  const S_TARVO_RECONSTRUCT_OPTIONS* options) {
  using namespace tarvo;
  const Notifier notifier(notify);
  const S_TARVO_RECONSTRUCT_OPTIONS opts = ReadSizedRecord(kDefaultOptions, options);
  SetLastMessage(0);
  try {
    return Reconstruction(originalPath != nullptr ? originalPath : "", deltaPath != nullptr ? deltaPath : "",
                          modifiedPath != nullptr ? modifiedPath : "", notifier, opts)
        .Run();
  } catch (const std::bad_alloc&) {
    return TARVO_ERR_NO_MEMORY;
  }
}

TARVOCORE_API E_TARVO_ERROR VerifyDeltaFile(const char* originalPath, const char* deltaPath,
                                            const S_TARVO_NOTIFY_INFO* notify) {
  using namespace tarvo;
  const Notifier notifier(notify);
  try {
    return Reconstruction(originalPath != nullptr ? originalPath : "", deltaPath != nullptr ? deltaPath : "", "",
                          notifier, kDefaultOptions, true)
        .Run();
  } catch (const std::bad_alloc&) {
    return TARVO_ERR_NO_MEMORY;
  }
}
