// Swaps a folder for a link while a reconstruction runs, at the core's test
// point between the checksum passes and the output's creation: the moment a
// run that looked its folder up again by name would be redirected.
// In a test process, ArmFolderSwap; in a program run by a test, this library
// preloaded (LD_PRELOAD) with MVR_TEST_SWAP_FOLDER and MVR_TEST_SWAP_TO set.
#pragma once

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

extern "C" {
// At the next test point: `folder` is renamed to `folder` + ".moved" and a
// link to `to` takes its place. Once.
__attribute__((visibility("default"))) void ArmFolderSwap(const char* folder, const char* to);
// Whether the swap has been made since it was armed.
__attribute__((visibility("default"))) int FolderSwapped(void);
}

// Undoes a swap: the link goes and the folder gets its name back.
inline void RestoreSwappedFolder(const std::string& folder) {
  struct stat st {};
  if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(folder.c_str());
  const std::string moved = folder + ".moved";
  if (::lstat(moved.c_str(), &st) == 0) ::rename(moved.c_str(), folder.c_str());
}
