#include "FieldText.h"

#include <gtest/gtest.h>

#include <clocale>

#include "CommandLine.h"

namespace {

TEST(FieldText, SizesInKilobytes) {
  struct Case {
    uint32_t bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, "0.00 Kb"},       {5, "0.00 Kb"},    {1000, "0.98 Kb"},
      {1023, "1.00 Kb"},    {1536, "1.50 Kb"}, {2048, "2.00 Kb"},
      {1048576, "1024.00 Kb"}, {4294967295u, "4194304.00 Kb"},  // no digit grouping
  };
  for (const Case& c : cases) EXPECT_EQ(mvrview::FormatKb(c.bytes), c.text) << c.bytes;
}

std::time_t Local(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(FieldText, ConstructionTimeInEnglishOnTheTwelveHourClock) {
  // Whatever the environment asks for; only locales that exist here change
  // anything, and none of them may change the words.
  std::setlocale(LC_ALL, "");
  struct Case {
    std::time_t when;
    const char* text;
  };
  const Case cases[] = {
      {Local(2026, 12, 6, 15, 1), "Sunday, Dec 06, 2026 ,  03:01 PM"},
      {Local(2024, 2, 29, 0, 5), "Thursday, Feb 29, 2024 ,  12:05 AM"},
      {Local(2023, 7, 1, 12, 0), "Saturday, Jul 01, 2023 ,  12:00 PM"},
  };
  for (const Case& c : cases) EXPECT_EQ(mvrview::FormatConstructionTime(c.when), c.text);
  std::setlocale(LC_ALL, "C");
}

TEST(CommandLine, EverythingAfterTheProgramIsOneName) {
  struct Case {
    std::vector<const char*> argv;
    const char* name;
  };
  const Case cases[] = {
      {{"MvrView"}, ""},
      {{"MvrView", "a.mvr"}, "a.mvr"},
      {{"MvrView", "/tmp/my", "files/a.mvr"}, "/tmp/my files/a.mvr"},  // typed without quotes
      {{"MvrView", "\"/tmp/q.mvr\""}, "\"/tmp/q.mvr\""},                // quotes stay
      {{"MvrView", "-style", "x.mvr"}, "-style x.mvr"},
      {{"MvrView", ""}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mvrview::JoinArguments(static_cast<int>(c.argv.size()), c.argv.data()), c.name);
  }
}

}  // namespace

namespace {

TEST(FieldText, HiddenCharactersInNamesAreMarked) {
  const struct {
    const char* name;
    const char* shown;
  } cases[] = {
      {"invoice_\xe2\x80\xaegpj.exe", "invoice_<U+202E>gpj.exe"},  // right-to-left override
      {"a\xe2\x81\xa6" "b\xe2\x81\xa9", "a<U+2066>b<U+2069>"},       // isolates
      {"zero\xe2\x80\x8bwidth", "zero<U+200B>width"},
      {"tab\there", "tab<U+0009>here"},
      {"\xef\xbb\xbf" "bom", "<U+FEFF>bom"},
      {"caf\xc3\xa9.bin", "caf\xc3\xa9.bin"},
      {"raw\xff", "raw\xff"},  // not UTF-8: left for the display
  };
  for (const auto& c : cases) EXPECT_EQ(mvrview::VisibleName(c.name), c.shown) << c.name;
}

}  // namespace
