// The exported functions take native POSIX paths: only '/' separates, there
// are no drives, and '/' is what gets inserted.
#include "TarvoFileLib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TFLGetFileDir, SplitsPosixPaths) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"/work/app.exe", "/work"},
      {"/app.exe", "/"},
      {"app.exe", ""},
      {"/work/", "/work"},
      {"//x", "//"},
      {"a:/b", "a:"},
      {"a\\/b", "a\\"},
      {"C:\\work\\app.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TFLGetFileDir(c.path), c.expected);
  }
}

TEST(TFLGetFileNameAndExtension, ReturnTheFinalComponent) {
  struct Case {
    const char* path;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"/work/app.exe", "app.exe", ".exe"},
      {"/work/", "", ""},
      {"archive.tar.gz", "archive.tar.gz", ".gz"},
      {"/a.b/file", "file", ""},
      {"/a/file.", "file.", "."},
      {"C:\\work\\app.exe", "C:\\work\\app.exe", ".exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TFLGetFileName(c.path), c.name);
    EXPECT_EQ(TFLGetFileExtension(c.path), c.extension);
  }
}

TEST(TFLGetNewPath, PutsTheFileNameIntoTheFolder) {
  struct Case {
    const char* path;
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      {"/a/b.txt", "/out", "/out/b.txt"},
      {"/a/b.txt", "/out/", "/out/b.txt"},
      {"/a/b.txt", "/", "/b.txt"},
      {"/a/b.txt", "", "b.txt"},
      {"/a/", "/out", "/out/"},
      {"/a/b.txt", "C:\\out\\", "C:\\out\\/b.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " into " + c.folder);
    EXPECT_EQ(TFLGetNewPath(c.path, c.folder), c.expected);
  }
}

TEST(TFLNameMatching, ComparesPosixNames) {
  const char* const mvr[] = {".mvr", nullptr};
  EXPECT_EQ(TFLCheckFileStdExtension("/data/X.MVR", mvr), 0);
  EXPECT_EQ(TFLCheckFileStdExtension("/data.mvr/X", mvr), -1);
  EXPECT_EQ(TFLFindNameInArray({"a.txt", "B.TXT", "b.txt"}, "b.txt"), 2);
  EXPECT_EQ(TFLFindNameInArray({}, "b.txt"), -1);
}

TEST(TFLPathFunctions, TreatANullPathAsEmpty) {
  const char* const mvr[] = {"", nullptr};
  EXPECT_EQ(TFLGetFileDir(nullptr), "");
  EXPECT_EQ(TFLGetFileName(nullptr), "");
  EXPECT_EQ(TFLGetFileExtension(nullptr), "");
  EXPECT_EQ(TFLGetNewPath(nullptr, "/out"), "/out/");
  EXPECT_EQ(TFLGetFileSize(nullptr), kTflUnknownSize);
  EXPECT_EQ(TFLCheckFileStdExtension(nullptr, mvr), 0);
}

}  // namespace
