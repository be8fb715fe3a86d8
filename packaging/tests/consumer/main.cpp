// consumer ORIGINAL MODIFIED FOLDER: constructs FOLDER/pair.mvr through the
// installed core, reconstructs FOLDER/rebuilt from it and checks that the
// rebuilt file equals MODIFIED.
#include <TarvoCore.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

static std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string delta = std::string(argv[3]) + "/pair.mvr";
  const std::string rebuilt = std::string(argv[3]) + "/rebuilt";
  if (E_TARVO_ERROR e = ConstructDeltaFile(argv[1], argv[2], delta.c_str(), nullptr, nullptr); e != TARVO_OK) {
    std::printf("construction: %d\n", static_cast<int>(e));
    return 1;
  }
  if (E_TARVO_ERROR e = ReconstructTargetFile(argv[1], delta.c_str(), rebuilt.c_str(), nullptr, nullptr);
      e != TARVO_OK) {
    std::printf("reconstruction: %d\n", static_cast<int>(e));
    return 1;
  }
  if (Contents(rebuilt) != Contents(argv[2]) || Contents(rebuilt).empty()) {
    std::printf("the rebuilt file differs\n");
    return 1;
  }
  return 0;
}
