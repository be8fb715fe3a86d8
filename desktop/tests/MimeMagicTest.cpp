// The MIME type of difference files, as a desktop sees it: our package file
// compiled by update-mime-database into a private data folder, then asked
// through Qt's database, which reads the same mime.cache as the file managers.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <QString>
#include <cstdlib>
#include <string>

#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr char kType[] = "application/x-mendivar";

class MimeMagicTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    box_ = new Sandbox;
    const std::string mime = box_->Path("share/mime");
    ::mkdir(box_->Path("share").c_str(), 0700);
    ::mkdir(mime.c_str(), 0700);
    ::mkdir((mime + "/packages").c_str(), 0700);
    WriteFile(mime + "/packages/mendivar.xml", ReadFile(MVR_MIME_XML));
    const std::string command = std::string(MVR_UPDATE_MIME_DATABASE) + " " + mime;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_TRUE(Exists(mime + "/mime.cache"));
    // Only our folder: a type found must come from our file. Qt reads these
    // on the first lookup, so they are set before any.
    ::setenv("XDG_DATA_DIRS", box_->Path("share").c_str(), 1);
    ::setenv("XDG_DATA_HOME", box_->Path("home").c_str(), 1);

    WriteFile(box_->Path("original.bin"), Bytes(4000, 'o'));
    Bytes modified(4000, 'o');
    modified[1234] = 'm';
    WriteFile(box_->Path("modified.bin"), modified);
    ASSERT_EQ(ConstructDeltaFile(box_->Path("original.bin").c_str(), box_->Path("modified.bin").c_str(),
                                 box_->Path("pair.mvr").c_str(), nullptr, nullptr),
              TARVO_OK);
  }
  static void TearDownTestSuite() {
    delete box_;
    box_ = nullptr;
  }

  static std::string TypeOf(const std::string& name) {
    return QMimeDatabase().mimeTypeForFile(QString::fromStdString(box_->Path(name))).name().toStdString();
  }

  static Sandbox* box_;
};

Sandbox* MimeMagicTest::box_ = nullptr;

TEST_F(MimeMagicTest, DifferenceFilesAreKnownByNameOrByTheirFourBytesAtOffsetFour) {
  const Bytes delta = ReadFile(box_->Path("pair.mvr"));
  Bytes magicAtZero = {'m', 'v', 'r', '8', 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes magicAtFour = {0, 0, 0, 0, 'm', 'v', 'r', '8', 0, 0, 0, 0};
  struct Case {
    const char* name;
    Bytes content;
    bool ours;
  } cases[] = {
      {"pair.mvr", delta, true},
      {"renamed", delta, true},                  // no extension: the magic decides
      {"renamed.bin", delta, true},              // an extension nobody claims
      {"empty.mvr", {}, true},                   // the name alone
      {"no-magic", Bytes(64, 0x01), false},
      {"magic-at-zero", magicAtZero, false},
      {"magic-at-four", magicAtFour, true},
  };
  for (const auto& c : cases) {
    if (c.name != std::string("pair.mvr")) WriteFile(box_->Path(c.name), c.content);
    EXPECT_EQ(TypeOf(c.name) == kType, c.ours) << c.name << " is " << TypeOf(c.name);
  }
}

}  // namespace
