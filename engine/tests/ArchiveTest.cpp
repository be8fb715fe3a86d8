// The archived form of task entries and lists, byte for byte, and what a
// damaged archive does.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TarvoArchive.h"
#include "TarvoTaskArray.h"
#include "TarvoTaskEntry.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(std::initializer_list<int> bytes) {
  Bytes b;
  for (const int x : bytes) b.push_back(static_cast<uint8_t>(x));
  return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
// A string the way the archive writes one below 255 characters.
Bytes Short(const std::string& s) { return Of({static_cast<int>(s.size())}) + Text(s); }

TEST(Archive, StringLengthPrefixes) {
  const struct {
    size_t length;
    Bytes prefix;
  } cases[] = {
      {0, Of({0x00})},
      {254, Of({0xFE})},
      {255, Of({0xFF, 0xFF, 0x00})},
      {0xFFFD, Of({0xFF, 0xFD, 0xFF})},
      // 0xFFFE as a 16-bit length would read as the wide-string marker.
      {0xFFFE, Of({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {70000, Of({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string s(c.length, 'q');
    CTarvoArchive out;
    out << s;
    EXPECT_EQ(out.GetData(), c.prefix + Text(s));
    CTarvoArchive in(out.GetData());
    std::string back;
    in >> back;
    EXPECT_EQ(back, s);
    EXPECT_TRUE(in.IsAtEnd());
  }
}

TEST(Archive, EntryWritesExistingReferenceOutput) {
  CTarvoTaskEntry entry("ref", "exist", "out");
  CTarvoArchive out;
  static_cast<CTarvoObject&>(entry).Serialize(out);
  EXPECT_EQ(out.GetData(), Short("exist") + Short("ref") + Short("out"));
  // A recorded output is archived the same way: the form has no room for its origin.
  entry.SetOutputRecorded(true);
  CTarvoArchive recorded;
  static_cast<CTarvoObject&>(entry).Serialize(recorded);
  EXPECT_EQ(recorded.GetData(), out.GetData());

  // Loading replaces the names only; sizes are not in the archive, and the
  // loaded output name counts as the user's.
  CTarvoTaskEntry loaded("x", "y", "z");
  loaded.SetOutputFileSize(12);
  loaded.SetOutputRecorded(true);
  CTarvoArchive in(out.GetData());
  static_cast<CTarvoObject&>(loaded).Serialize(in);
  EXPECT_EQ(loaded.GetExistingFile(), "exist");
  EXPECT_EQ(loaded.GetReferenceFile(), "ref");
  EXPECT_EQ(loaded.GetOutputFile(), "out");
  EXPECT_EQ(loaded.GetOutputFileSize(), 12u);
  EXPECT_FALSE(loaded.IsOutputRecorded());
}

// A list of two entries as the classic layout has it: the count, the class
// with its schema on first use, then a class back reference (index 1).
Bytes TwoEntryList() {
  return Of({0x02, 0x00}) + Of({0xFF, 0xFF, 0x02, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") + Short("e1") +
         Short("r1") + Short("o1") + Of({0x01, 0x80}) + Short("e2") + Short("r2") + Short("o2");
}

TEST(Archive, TaskListRoundTrip) {
  CTarvoTaskArray list;
  list.Add(new CTarvoTaskEntry("r1", "e1", "o1"));
  list.Add(new CTarvoTaskEntry("r2", "e2", "o2"));
  CTarvoArchive out;
  list.Serialize(out);
  EXPECT_EQ(out.GetData(), TwoEntryList());

  CTarvoTaskArray loaded;
  loaded.Add(new CTarvoTaskEntry("old", "old", "old"));
  CTarvoArchive in(out.GetData());
  loaded.Serialize(in);
  EXPECT_TRUE(in.IsAtEnd());
  ASSERT_EQ(loaded.GetSize(), 2);
  for (int i = 0; i < 2; ++i) {
    const std::string n = std::to_string(i + 1);
    EXPECT_EQ(loaded[i].GetReferenceFile(), "r" + n);
    EXPECT_EQ(loaded[i].GetExistingFile(), "e" + n);
    EXPECT_EQ(loaded[i].GetOutputFile(), "o" + n);
    EXPECT_EQ(loaded[i].GetExistingFileSize(), 0xFFFFFFFFu);
  }
}

TEST(Archive, LongListsAndFarIndexesUseTheWideForms) {
  // A count of 0xFFFF or more, and an index of 0x7FFF or more, take 32 bits.
  CTarvoTaskArray list;
  for (int i = 0; i < 0xFFFF; ++i) list.Add(new CTarvoTaskEntry);
  CTarvoArchive out;
  list.Serialize(out);
  out.WriteObject(list.GetAt(0xFFFE));  // index 0x10000: class 1, objects from 2
  out.WriteObject(list.GetAt(0));
  const Bytes& data = out.GetData();
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 6), Of({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(Bytes(data.end() - 8, data.end()), Of({0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00}));

  CTarvoTaskArray loaded;
  CTarvoArchive in(data);
  loaded.Serialize(in);
  ASSERT_EQ(loaded.GetSize(), 0xFFFF);
  bool created = true;
  EXPECT_EQ(in.ReadObject(nullptr, &created), loaded.GetAt(0xFFFE));
  EXPECT_FALSE(created);
  EXPECT_EQ(in.ReadObject(nullptr), loaded.GetAt(0));
  EXPECT_TRUE(in.IsAtEnd());
}

Bytes DWord(uint32_t v) {
  return Of({static_cast<int>(v & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v >> 16 & 0xFF),
             static_cast<int>(v >> 24)});
}

CTarvoTaskEntry* Chosen(const std::string& n, int32_t matcher, int32_t compressor) {
  auto* entry = new CTarvoTaskEntry(("r" + n).c_str(), ("e" + n).c_str(), ("o" + n).c_str());
  EXPECT_TRUE(entry->SetMatcher(matcher));
  EXPECT_TRUE(entry->SetCompressor(compressor));
  return entry;
}

// Standard entries keep the names-only schema 2, so a list of them reads in
// every older version (TaskListRoundTrip holds those bytes). A chosen
// construction takes schema 3, named once more for the class, and the entries
// after it refer to whichever of the two records they need.
TEST(Archive, ChosenConstructionTakesTheLaterSchema) {
  CTarvoTaskArray list;
  list.Add(Chosen("1", TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD));
  list.Add(Chosen("2", TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_FAST));
  list.Add(Chosen("3", TARVO_MATCHER_THOROUGH, TARVO_COMPRESSOR_STRONGEST));
  list.Add(Chosen("4", TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD));
  CTarvoArchive out;
  list.Serialize(out);
  const Bytes names = Text("CTarvoTaskEntry");
  EXPECT_EQ(out.GetData(),
            Of({0x04, 0x00}) + Of({0xFF, 0xFF, 0x02, 0x00, 0x0F, 0x00}) + names + Short("e1") + Short("r1") +
                Short("o1") + Of({0xFF, 0xFF, 0x03, 0x00, 0x0F, 0x00}) + names + Short("e2") + Short("r2") +
                Short("o2") + DWord(0) + DWord(1) + Of({0x03, 0x80}) + Short("e3") + Short("r3") + Short("o3") +
                DWord(1) + DWord(2) + Of({0x01, 0x80}) + Short("e4") + Short("r4") + Short("o4"));

  CTarvoTaskArray loaded;
  CTarvoArchive in(out.GetData());
  loaded.Serialize(in);
  EXPECT_TRUE(in.IsAtEnd());
  ASSERT_EQ(loaded.GetSize(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(loaded[i].GetOutputFile(), list[i].GetOutputFile());
    EXPECT_EQ(loaded[i].GetMatcher(), list[i].GetMatcher());
    EXPECT_EQ(loaded[i].GetCompressor(), list[i].GetCompressor());
  }
}

struct Damage {
  const char* name;
  Bytes data;
  CTarvoArchiveException::Cause cause;
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

Bytes WithoutLastByte(Bytes b) {
  b.pop_back();
  return b;
}

const Bytes kHeadOfClass = Of({0x01, 0x00, 0xFF, 0xFF});

// One entry of the later schema whose names are "e", "r", "o".
Bytes ChoiceEntry(uint32_t matcher, uint32_t compressor) {
  return kHeadOfClass + Of({0x03, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") + Short("e") + Short("r") + Short("o") +
         DWord(matcher) + DWord(compressor);
}

const Damage kDamages[] = {
    {"LaterSchema", kHeadOfClass + Of({0x04, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") + Short("e") + Short("r") +
                        Short("o"),
     CTarvoArchiveException::badSchema},
    {"EarlierSchema", kHeadOfClass + Of({0x01, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") + Short("e") +
                          Short("r") + Short("o"),
     CTarvoArchiveException::badSchema},
    {"UnknownMatcher", ChoiceEntry(2, 0), CTarvoArchiveException::badFormat},
    {"UnknownCompressor", ChoiceEntry(1, 3), CTarvoArchiveException::badFormat},
    {"NegativeCompressor", ChoiceEntry(0, 0xFFFFFFFFu), CTarvoArchiveException::badFormat},
    {"ChoiceCutShort", WithoutLastByte(ChoiceEntry(1, 2)), CTarvoArchiveException::endOfFile},
    {"UnknownClass", kHeadOfClass + Of({0x02, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntrz"),
     CTarvoArchiveException::badClass},
    {"ClassWithoutFactory", kHeadOfClass + Of({0xFF, 0xFF, 0x0F, 0x00}) + Text("CTarvoTaskArray"),
     CTarvoArchiveException::badClass},
    {"Truncated", WithoutLastByte(TwoEntryList()), CTarvoArchiveException::endOfFile},
    {"ClassIndexNeverRead", Of({0x01, 0x00, 0x05, 0x80}), CTarvoArchiveException::badIndex},
    {"ObjectIndexNeverRead", Of({0x01, 0x00, 0x05, 0x00}), CTarvoArchiveException::badIndex},
    // The second element refers back to the first: two owners of one entry.
    {"BackReferenceToAnEntry", Of({0x02, 0x00, 0xFF, 0xFF, 0x02, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") +
                                   Short("e") + Short("r") + Short("o") + Of({0x02, 0x00}),
     CTarvoArchiveException::badIndex},
    {"NullEntry", Of({0x01, 0x00, 0x00, 0x00}), CTarvoArchiveException::badFormat},
    {"WideString", kHeadOfClass + Of({0x02, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") + Of({0xFF, 0xFE, 0xFF}),
     CTarvoArchiveException::badFormat},
    // Must fail on the length, not by trying to allocate it.
    {"HugeStringLength", kHeadOfClass + Of({0x02, 0x00, 0x0F, 0x00}) + Text("CTarvoTaskEntry") +
                             Of({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF}),
     CTarvoArchiveException::endOfFile},
};

class ArchiveDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(ArchiveDamage, IsRejectedAndTheListStaysAsItWas) {
  CTarvoTaskArray list;
  list.Add(new CTarvoTaskEntry("keep", "keep", "keep"));
  CTarvoArchive in(GetParam().data);
  try {
    list.Serialize(in);
    ADD_FAILURE() << "accepted";
  } catch (const CTarvoArchiveException& e) {
    EXPECT_EQ(e.GetCause(), GetParam().cause) << e.what();
  }
  ASSERT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list[0].GetReferenceFile(), "keep");
}

INSTANTIATE_TEST_SUITE_P(Damages, ArchiveDamage, ::testing::ValuesIn(kDamages),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
