#include "WholeCompress.h"

#include <libdeflate.h>
#include <sys/mman.h>

#include <cerrno>

#include <memory>
#include <new>

#include "platform/ReadFault.h"

namespace tarvo {
namespace {

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// The code file as memory. Mapping it instead of reading it saves filling
// and copying a buffer the size of the code (a quarter of a second on a
// 100 MB file); a read fault in it is a read failure like any other.
class CodeView {
 public:
  CodeView(const PosixFile& file, size_t size) : size_(size) {
    // Never empty (inputs are at least a byte long, so there is a record);
    // an empty view would fail here like any other.
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file.Descriptor(), 0);
    if (view == MAP_FAILED) {
      outOfMemory_ = errno == ENOMEM;
      return;
    }
    data_ = static_cast<const uint8_t*>(view);
    watch_ = platform::readfault::Watch(data_, size);
    ::madvise(view, size, MADV_SEQUENTIAL);
  }
  ~CodeView() {
    if (data_ == nullptr) return;
    platform::readfault::Unwatch(watch_);
    ::munmap(const_cast<uint8_t*>(data_), size_);
  }
  CodeView(const CodeView&) = delete;
  CodeView& operator=(const CodeView&) = delete;

  const uint8_t* Data() const { return data_; }
  // Why there is no view: no address space for it, or another failure.
  bool OutOfMemory() const { return outOfMemory_; }
  bool Faulted() const { return platform::readfault::Faulted(watch_); }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_;
  int watch_ = -1;
  bool outOfMemory_ = false;
};

}  // namespace

std::unique_ptr<uint8_t[]> AllocateOutput(size_t bytes) { return std::make_unique_for_overwrite<uint8_t[]>(bytes); }

CompressOutcome CompressCodeWhole(const PosixFile& codeFile, uint64_t size, int level, PosixFile& deltaFile,
                                  OutputAllocator allocate) {
  if (size > SIZE_MAX / 2) return CompressOutcome::kNoMemory;
  // libdeflate fails here only for want of memory: the levels are ours.
  std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(level));
  if (!compressor) return CompressOutcome::kNoMemory;
  const CodeView code(codeFile, static_cast<size_t>(size));
  if (code.Data() == nullptr) return code.OutOfMemory() ? CompressOutcome::kNoMemory : CompressOutcome::kReadFailed;
  std::unique_ptr<uint8_t[]> out;
  const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), static_cast<size_t>(size));
  try {
    // Only the pages the compressed form reaches are ever touched.
    out = allocate(bound);
  } catch (const std::bad_alloc&) {
    return CompressOutcome::kNoMemory;
  }
  const size_t written = libdeflate_zlib_compress(compressor.get(), code.Data(), static_cast<size_t>(size), out.get(), bound);
  // A read fault leaves zeros where the code was: the stream is worthless.
  if (code.Faulted()) return CompressOutcome::kReadFailed;
  // Cannot happen with a buffer of the bound's size; treated as a failure to
  // write the stream rather than trusted.
  if (written == 0) return CompressOutcome::kWriteFailed;
  try {
    deltaFile.Write(out.get(), written);
  } catch (const CFileException&) {
    return CompressOutcome::kWriteFailed;
  }
  return CompressOutcome::kDone;
}

}  // namespace tarvo
