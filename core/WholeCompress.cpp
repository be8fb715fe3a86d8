#include "WholeCompress.h"

#include <libdeflate.h>
#include <sys/mman.h>

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
    if (view == MAP_FAILED) return;
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
  bool Faulted() const { return platform::readfault::Faulted(watch_); }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_;
  int watch_ = -1;
};

}  // namespace

bool CompressCodeWhole(const PosixFile& codeFile, uint64_t size, int level, PosixFile& deltaFile) {
  if (size > SIZE_MAX / 2) return false;
  std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(level));
  if (!compressor) return false;
  const CodeView code(codeFile, static_cast<size_t>(size));
  if (code.Data() == nullptr) return false;
  try {
    // Only the pages the compressed form reaches are ever touched.
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), static_cast<size_t>(size));
    const auto out = std::make_unique_for_overwrite<uint8_t[]>(bound);
    const size_t written = libdeflate_zlib_compress(compressor.get(), code.Data(), static_cast<size_t>(size), out.get(), bound);
    if (written == 0 || code.Faulted()) return false;
    deltaFile.Write(out.get(), written);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const CFileException&) {
    return false;
  }
}

}  // namespace tarvo
