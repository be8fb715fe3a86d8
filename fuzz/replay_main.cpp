// Runs a fuzz target over saved inputs without libFuzzer, so any compiler
// and the sanitizer build can replay the corpus as an ordinary test.
// Arguments are files or folders (read in name order, not recursively).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool Replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A block of exactly the input's size, so the sanitizer sees any read past it.
  const size_t n = bytes.size();
  const auto block = std::make_unique<uint8_t[]>(n == 0 ? 1 : n);
  std::copy(bytes.begin(), bytes.end(), block.get());
  std::printf("%s (%zu bytes)\n", file.c_str(), n);
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(block.get(), n);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
    return 2;
  }
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg = argv[i];
    std::error_code ec;
    std::vector<fs::path> files;
    if (fs::is_directory(arg, ec)) {
      for (const auto& e : fs::directory_iterator(arg, ec))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(arg, ec)) {
      files.push_back(arg);
    }
    // A folder that vanished or emptied must not pass as a clean replay.
    if (ec || files.empty()) {
      std::fprintf(stderr, "no inputs in %s\n", arg.c_str());
      return 1;
    }
    for (const auto& f : files) {
      if (!Replay(f)) return 1;
      ++replayed;
    }
  }
  std::printf("replayed %zu inputs\n", replayed);
  return 0;
}
