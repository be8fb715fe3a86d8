#include "WholeCompress.h"

#include <libdeflate.h>

#include <memory>
#include <new>
#include <vector>

namespace tarvo {
namespace {

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

}  // namespace

bool CompressCodeWhole(const PosixFile& codeFile, uint64_t size, int level, PosixFile& deltaFile) {
  if (size > SIZE_MAX / 2) return false;
  std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(level));
  if (!compressor) return false;
  try {
    std::vector<uint8_t> code(static_cast<size_t>(size));
    for (size_t have = 0; have < code.size();) {
      const size_t got = codeFile.ReadAt(code.data() + have, code.size() - have, have);
      if (got == 0) return false;  // the file is shorter than what was written
      have += got;
    }
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(compressor.get(), code.size()));
    const size_t written = libdeflate_zlib_compress(compressor.get(), code.data(), code.size(), out.data(), out.size());
    if (written == 0) return false;
    deltaFile.Write(out.data(), written);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const CFileException&) {
    return false;
  }
}

}  // namespace tarvo
