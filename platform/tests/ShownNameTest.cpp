#include "platform/ShownName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Hostile names as a difference file or a walked tree may hold them, and
// what a terminal gets to see.
TEST(ShownName, EscapesEverythingThatIsNotPrintableText) {
  const struct {
    std::string name, shown;
  } cases[] = {
      {"plain/name.mvr", "plain/name.mvr"},
      {"Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac.bin", "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac.bin"},  // UTF-8 letters stay
      {"with space \"and\" back\\slash", "with space \"and\" back\\slash"},
      {"$'\\n'", "'$'$'\\'''\\n'$'\\''"},  // looks like a quoted name: quoted itself
      {"it's", "'it'$'\\'''s'"},
      {"", "''"},
      {"x\x1b]0;T\x07y", "'x'$'\\033'']0;T'$'\\007''y'"},                  // window title
      {"\x1b[2J", "$'\\033''[2J'"},                                           // clear screen
      {"\x1b]8;;http://e.x/\x1b\\link\x1b]8;;\x1b\\",                          // OSC 8 link
       "$'\\033'']8;;http://e.x/'$'\\033''\\link'$'\\033'']8;;'$'\\033''\\'"},
      {"a\nsize: 1", "'a'$'\\n''size: 1'"},                                  // a forged line
      {"cr\rtab\t", "'cr'$'\\r''tab'$'\\t'"},
      {"del\x7f", "'del'$'\\177'"},
      {"c1\xc2\x9b" "31m", "'c1'$'\\302\\233''31m'"},                        // CSI as a UTF-8 C1 control
      {"raw\x9b\xff", "'raw'$'\\233\\377'"},                                  // bytes that are not UTF-8
      {"cut\xe2\x82", "'cut'$'\\342\\202'"},                                  // truncated sequence
      {"over\xc0\xaf", "'over'$'\\300\\257'"},                                // overlong '/'
      {"over\xe0\x80\xaf", "'over'$'\\340\\200\\257'"},                       // overlong in three bytes
      {"half\xed\xa0\x80", "'half'$'\\355\\240\\200'"},                       // lone surrogate
      {"line\xe2\x80\xa8sep", "'line'$'\\342\\200\\250''sep'"},               // U+2028
      {std::string("nul\0x", 5), "'nul'$'\\000''x'"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ShownName(c.name), c.shown) << c.name;
}

}  // namespace
