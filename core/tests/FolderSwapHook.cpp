#include "FolderSwapHook.h"

#include <stdlib.h>

#include <string>

namespace {

std::string g_folder, g_to;
bool g_swapped = false;

}  // namespace

extern "C" void ArmFolderSwap(const char* folder, const char* to) {
  g_folder = folder != nullptr ? folder : "";
  g_to = to != nullptr ? to : "";
  g_swapped = false;
}

extern "C" int FolderSwapped(void) { return g_swapped ? 1 : 0; }

// The core calls this, when it is defined, between its checks and the output.
extern "C" __attribute__((visibility("default"))) void TarvoTestAfterChecks(void) {
  if (g_folder.empty()) {
    const char* folder = ::getenv("MVR_TEST_SWAP_FOLDER");
    const char* to = ::getenv("MVR_TEST_SWAP_TO");
    if (folder == nullptr || to == nullptr) return;
    ArmFolderSwap(folder, to);
  }
  if (g_swapped) return;
  const std::string moved = g_folder + ".moved";
  g_swapped = ::rename(g_folder.c_str(), moved.c_str()) == 0 && ::symlink(g_to.c_str(), g_folder.c_str()) == 0;
  g_folder.clear();
}
