// Building a difference file: header and names first, then the compressed
// code, then the header again with the file's own checksum.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "BackgroundCompression.h"
#include "CodeWriter.h"
#include "Compress.h"
#include "CompressOutcome.h"
#include "Crc.h"
#include "FileMapping.h"
#include "Format.h"
#include "Matcher.h"
#include "Notify.h"
#include "LastMessage.h"
#include "OutputFile.h"
#include "PosixFile.h"
#include "SizedRecord.h"
#include "TarvoCore.h"
#include "TarvoFileLib.h"
#include "TempFile.h"
#include "ThoroughMatcher.h"
#include "WholeCompress.h"
#include "platform/Files.h"

namespace tarvo {
namespace {

// Hosts keep their speed setting in the options; construction never reads it.
constexpr int32_t kDefaultConstructionSpeed = 43;
constexpr S_TARVO_CONSTRUCT_OPTIONS kDefaultOptions{sizeof(S_TARVO_CONSTRUCT_OPTIONS), kDefaultConstructionSpeed, 1, 1, 1,
                                               TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD};
constexpr size_t kChecksumBlock = 65536;
// libdeflate levels. The fast one is the quickest whose files came out no
// larger than zlib level 9's on every pair of the benchmark corpus.
constexpr int kFastLevel = 8;
constexpr int kStrongestLevel = 12;
// What a whole-buffer compressor may hold beyond the mapped inputs: the fast
// one at most this much at any size; the strongest, which comes with the
// thorough matcher, at most a byte per input byte plus the allowance. Codes
// too large for that are deflated as a stream by zlib, into the standard
// compressor's bytes, in two buffers.
constexpr uint64_t kFastMemory = uint64_t{256} << 20;
constexpr uint64_t kStrongestAllowance = uint64_t{64} << 20;
// A code is never longer than the modified file plus one insert's head: a
// copy record is shorter than the bytes it stands for by more than an
// insert's head, and an insert never follows an insert.
constexpr uint64_t kCodeSlack = 8;

// Choices this build does not know write the standard way: the same format,
// which is all a caller can rely on from any choice.
S_TARVO_CONSTRUCT_OPTIONS KnownChoices(S_TARVO_CONSTRUCT_OPTIONS o) {
  if (o.lMatcher != TARVO_MATCHER_THOROUGH) o.lMatcher = TARVO_MATCHER_STANDARD;
  if (o.lCompressor != TARVO_COMPRESSOR_FAST && o.lCompressor != TARVO_COMPRESSOR_STRONGEST) {
    o.lCompressor = TARVO_COMPRESSOR_STANDARD;
  }
  return o;
}

std::string StoredName(const char* path, int32_t fullPath) {
  return fullPath != 0 ? TFLGetFullFileName(path) : TFLGetFileName(path);
}

// Thrown where the call ends with a code and the partial difference file is
// to stay on disk as it is.
struct Stop {
  E_TARVO_ERROR code;
};

// Thrown where an input shrank while it was mapped, or where the code could
// not be compressed; both files go.
struct Abandon {
  E_TARVO_ERROR code;
};

void CheckCompressed(CompressOutcome outcome) {
  if (outcome != CompressOutcome::kDone) throw Abandon{ErrorFor(outcome)};
}

E_TARVO_ERROR TranslateMapping(const CFileMappingException& e, const char* originalPath) {
  if (e.cause != CFileMappingException::kOpenFailed) return TARVO_ERR_NO_MEMORY;
  return e.fileName == originalPath ? TARVO_ERR_OPEN_ORIGINAL : TARVO_ERR_OPEN_MODIFIED;
}

// Fills in the final header and the whole-file checksum (computed with the
// checksum field as zero).
void Finalize(PosixFile& file, TypeHeadDeltaFile header) {
  header.dwDeltaFileSize = static_cast<uint32_t>(file.Length());
  header.dwDeltaCheckSum = 0;
  uint8_t bytes[kDeltaHeaderSize];
  HeaderToBytes(header, bytes);
  file.Seek(0);
  file.Write(bytes, sizeof bytes);

  std::vector<uint8_t> block(kChecksumBlock);
  uint32_t crc = 0;
  file.Seek(0);
  for (size_t got; (got = file.Read(block.data(), block.size())) > 0;) {
    crc = Crc32(crc, block.data(), got);
    if (got < block.size()) break;
  }
  header.dwDeltaCheckSum = crc;
  HeaderToBytes(header, bytes);
  file.Seek(0);
  file.Write(bytes, sizeof bytes);
}

class Construction {
 public:
  Construction(const char* original, const char* modified, const Notifier& notifier,
               const S_TARVO_CONSTRUCT_OPTIONS& options, OutputFile& output)
      : original_(original), modified_(modified), notifier_(notifier),
        options_(options), output_(output), deltaFile_(output.File()) {}

  // Steps from creating the difference file on. Failures that leave the
  // partial file come back as Stop; failures that remove it as exceptions.
  E_TARVO_ERROR Run() {
    if (output_.Create() != OutputFile::Status::Ok) return TARVO_ERR_OPEN_DELTA;
    try {
      return Build();
    } catch (const Stop& stop) {
      output_.Keep();
      return stop.code;
    } catch (const Abandon& fault) {
      Discard();
      return fault.code;
    } catch (const CFileException&) {
      Discard();
      return TARVO_ERR_WRITE_DELTA;
    } catch (const std::bad_alloc&) {
      Discard();
      return TARVO_ERR_NO_MEMORY;
    } catch (const std::system_error&) {  // no thread for the compressor
      Discard();
      return TARVO_ERR_NO_MEMORY;
    } catch (...) {
      Discard();
      throw;
    }
  }

 private:
  E_TARVO_ERROR Build() {
    TypeHeadDeltaFile header{};
    std::memcpy(header.chMagic, kDeltaMagic, sizeof header.chMagic);
    std::memcpy(header.chSignature, kDeltaSignatureV2, sizeof header.chSignature);
    uint8_t bytes[kDeltaHeaderSize];
    HeaderToBytes(header, bytes);
    deltaFile_.Write(bytes, sizeof bytes);

    const std::string originalName = StoredName(original_, options_.bFullReferencePath);
    if (originalName.empty() || originalName.size() > kMaxStoredNameLength) throw Stop{TARVO_ERR_NO_MEMORY};
    header.wReferenceNameLength = static_cast<uint16_t>(originalName.size());
    deltaFile_.Write(originalName.data(), originalName.size());
    const std::string modifiedName = options_.pszTargetName != nullptr ? std::string(options_.pszTargetName)
                                                                      : StoredName(modified_, options_.bFullTargetPath);
    if (modifiedName.empty() || modifiedName.size() > kMaxStoredNameLength) throw Stop{TARVO_ERR_NO_MEMORY};
    header.wTargetNameLength = static_cast<uint16_t>(modifiedName.size());
    deltaFile_.Write(modifiedName.data(), modifiedName.size());

    try {
      modifiedMap_.Open(modified_);
      originalMap_.Open(original_);
    } catch (const CFileMappingException& e) {
      throw Stop{TranslateMapping(e, original_)};
    }
    const uint32_t sOrig = originalMap_.GetSize(), sMod = modifiedMap_.GetSize();
    header.dwReferenceFileSize = sOrig;
    header.dwTargetFileSize = sMod;
    // The checksums need nothing the matcher makes, so they take the core
    // the matcher leaves idle. Every way out of this scope waits for them.
    std::jthread checksums([&header, this, sOrig, sMod] {
      header.dwReferenceFileCheckSum = Crc32(0, originalMap_.GetData(), sOrig);
      header.dwTargetFileCheckSum = Crc32(0, modifiedMap_.GetData(), sMod);
    });
    header.dwCodeOffset = static_cast<uint32_t>(kDeltaHeaderSize + originalName.size() + modifiedName.size());

    // Not the inputs' fault (a full or missing temporary folder): the
    // partial difference file would only be in the way of a rerun.
    if (!code_.Create()) {
      Discard();
      return TARVO_ERR_CREATE_OUTPUT;
    }

    notifier_.Progress(modified_, 0, sMod);
    const bool streamed = options_.lCompressor == TARVO_COMPRESSOR_STANDARD ||
                          (options_.lCompressor == TARVO_COMPRESSOR_FAST &&
                           WholeBufferMemory(uint64_t{sMod} + kCodeSlack) > kFastMemory);
    const bool matched = streamed ? MatchWhileDeflating(sOrig, sMod) : MatchThenDeflate(sOrig, sMod);
    checksums.join();
    if (!matched) {
      Discard();
      return TARVO_ERR_CANCELLED;
    }
    CheckInputs();
    code_.Remove();

    Finalize(deltaFile_, header);
    if (!output_.Commit()) {
      if (output_.Damaged()) SetLastMessage(kTarvoMessageOldDeltaDamaged);
      return TARVO_ERR_WRITE_DELTA;
    }
    return TARVO_OK;
  }

  // The standard compressor deflates the code as the matcher writes it (and
  // so does the fast one for a code too large to hold).
  bool MatchWhileDeflating(uint32_t sOrig, uint32_t sMod) {
    // The compressor writes to both files until it has been joined, which
    // the end of this scope does on every way out; no file it uses may be
    // closed before then.
    BackgroundCompression compression(code_.File(), deltaFile_);
    CodeWriter writer(code_.File(), compression.Pipe(), sOrig, sMod, notifier_, modified_);
    if (!Match(sOrig, sMod, writer)) return false;
    writer.Flush();
    notifier_.Progress(modified_, sMod, sMod);
    CheckCompressed(compression.Finish());
    return true;
  }

  // The whole-buffer compressors need all of the code before they start.
  bool MatchThenDeflate(uint32_t sOrig, uint32_t sMod) {
    CodePipe unread;
    CodeWriter writer(code_.File(), unread, sOrig, sMod, notifier_, modified_);
    if (!Match(sOrig, sMod, writer)) return false;
    writer.Flush();
    const bool fast = options_.lCompressor == TARVO_COMPRESSOR_FAST;
    const uint64_t size = code_.File().Length();
    const uint64_t allowed = fast ? kFastMemory : uint64_t{sOrig} + sMod + kStrongestAllowance;
    if (WholeBufferMemory(size) <= allowed) {
      CheckCompressed(CompressCodeWhole(code_.File(), size, fast ? kFastLevel : kStrongestLevel, deltaFile_));
    } else {
      CodePipe finished;
      finished.Published(size);
      finished.Close();
      CheckCompressed(CompressCode(code_.File(), finished, deltaFile_));
    }
    notifier_.Progress(modified_, sMod, sMod);
    return true;
  }

  bool Match(uint32_t sOrig, uint32_t sMod, CodeWriter& writer) {
    if (options_.lMatcher == TARVO_MATCHER_THOROUGH) {
      return RunThoroughMatcher(originalMap_.GetData(), sOrig, modifiedMap_.GetData(), sMod, writer);
    }
    return RunMatcher(originalMap_.GetData(), sOrig, modifiedMap_.GetData(), sMod, platform::kAllocationGranularity,
                      writer);
  }

  // An input that shrank under its mapping read as zeros from there on, and
  // one that was rewritten or replaced meanwhile may have been read half old
  // and half new: the difference file could never rebuild either version.
  void CheckInputs() const {
    if (originalMap_.Faulted() || originalMap_.Changed(original_)) throw Abandon{TARVO_ERR_READ_ORIGINAL};
    if (modifiedMap_.Faulted() || modifiedMap_.Changed(modified_)) throw Abandon{TARVO_ERR_READ_MODIFIED};
  }

  void Discard() {
    code_.Remove();
    output_.Discard();
  }

  const char* original_;
  const char* modified_;
  const Notifier& notifier_;
  const S_TARVO_CONSTRUCT_OPTIONS options_;
  OutputFile& output_;
  PosixFile& deltaFile_;
  CFileMapping modifiedMap_, originalMap_;
  TempFile code_;
};

}  // namespace
}  // namespace tarvo

TARVOCORE_API E_TARVO_ERROR ConstructDeltaFile(const char* originalPath, const char* modifiedPath,
                                               const char* deltaPath,
                                               const S_TARVO_NOTIFY_INFO* notify,
                                               const S_TARVO_CONSTRUCT_OPTIONS* options) {
  using namespace tarvo;
  const Notifier notifier(notify);
  const S_TARVO_CONSTRUCT_OPTIONS opts = KnownChoices(ReadSizedRecord(kDefaultOptions, options));
  const char* original = originalPath != nullptr ? originalPath : "";
  const char* modified = modifiedPath != nullptr ? modifiedPath : "";
  const char* delta = deltaPath != nullptr ? deltaPath : "";

  // Creating the difference file truncates it; when it is one of the inputs
  // that would destroy the input before it is read.
  if (platform::SameFile(delta, original) || platform::SameFile(delta, modified)) {
    return TARVO_ERR_OPEN_DELTA;
  }
  // The difference file is written beside its name and takes it only at the
  // end, so a failed run leaves an older file of that name as it was.
  SetLastMessage(0);
  OutputFile output;
  if (output.Prepare(delta, true) != OutputFile::Status::Ok) return TARVO_ERR_OPEN_DELTA;
  if (opts.bNotifyOverwrite != 0 && output.Existed() && notifier.FileExists(delta) != 0) {
    return TARVO_ERR_OVERWRITE_REFUSED;
  }
  try {
    return Construction(original, modified, notifier, opts, output).Run();
  } catch (const std::bad_alloc&) {
    return TARVO_ERR_NO_MEMORY;
  }
}
