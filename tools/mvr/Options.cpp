#include "Options.h"

#include <getopt.h>

#include <cstring>

#include "platform/ShownName.h"

namespace mvrcli {
namespace {

enum LongOnly { kFullNames = 256, kJson, kThorough, kFast };

struct Table {
  const char* command;
  // Leading '-': operands come back in order as option 1, so options after
  // operands work whatever POSIXLY_CORRECT says; ':' reports a missing value.
  const char* shortOptions;
  std::vector<option> longOptions;
};

const option kForce{"force", no_argument, nullptr, 'f'};
const option kQuiet{"quiet", no_argument, nullptr, 'q'};
const option kVerbose{"verbose", no_argument, nullptr, 'v'};
const option kStdout{"stdout", no_argument, nullptr, 'c'};
const option kOutput{"output", required_argument, nullptr, 'o'};
const option kEnd{nullptr, 0, nullptr, 0};

const Table kTables[] = {
    {"diff", "-:fqvco:",
     {kForce, kQuiet, kVerbose, kStdout, kOutput, {"full-names", no_argument, nullptr, kFullNames},
      {"thorough", no_argument, nullptr, kThorough}, {"fast", no_argument, nullptr, kFast}, kEnd}},
    {"apply", "-:fqvco:", {kForce, kQuiet, kVerbose, kStdout, kOutput, kEnd}},
    {"verify", "-:qv", {kQuiet, kVerbose, kEnd}},
    {"info", "-:", {{"json", no_argument, nullptr, kJson}, kEnd}},
    {"find", "-:", {{"json", no_argument, nullptr, kJson}, kEnd}},
};

const Table* TableOf(const std::string& command) {
  for (const Table& t : kTables) {
    if (command == t.command) return &t;
  }
  return nullptr;
}

// The option as it was written, for a message: "-x", or "--name" without
// a value.
std::string Written(int optionChar, const char* arg) {
  std::string s = optionChar != 0 ? std::string("-") + static_cast<char>(optionChar) : arg != nullptr ? arg : "";
  if (const size_t eq = s.find('='); optionChar == 0 && eq != std::string::npos) s.resize(eq);
  return platform::ShownName(s);
}

}  // namespace

bool KnownCommand(const std::string& command) { return TableOf(command) != nullptr; }

std::string ParseOptions(const std::string& command, int count, char** args, Options& o) {
  const Table* table = TableOf(command);
  if (table == nullptr) return "unknown command " + platform::ShownName(command);
  opterr = 0;
  optind = 0;  // a full start, whatever ran before
  for (;;) {
    const int before = optind == 0 ? 1 : optind;
    const int c = getopt_long(count, args, table->shortOptions, table->longOptions.data(), nullptr);
    if (c == -1) break;
    switch (c) {
      case 1: o.operands.emplace_back(optarg); break;
      case 'f': o.force = true; break;
      case 'q': o.quiet = true; break;
      case 'v': o.verbose = true; break;
      case 'c': o.toStdout = true; break;
      case 'o':
        o.output = optarg;
        o.haveOutput = true;
        break;
      case kFullNames: o.fullNames = true; break;
      case kJson: o.json = true; break;
      case kThorough: o.thorough = true; break;
      case kFast: o.fast = true; break;
      case ':': return command + ": -o needs a file name";
      default: {
        // An option of another command, one nobody takes, or a value given to
        // an option that takes none. While a bundle (-fx) is read, optind
        // stays on it, so the element at fault is the one it was on.
        const char* arg = args[before];
        if (std::strncmp(arg, "--", 2) == 0) {
          if (optopt != 0) return command + ": " + Written(0, arg) + " takes no value";
          return command + ": unknown option " + Written(0, arg);
        }
        return command + ": unknown option " + Written(optopt, nullptr);
      }
    }
  }
  for (int i = optind; i < count; ++i) o.operands.emplace_back(args[i]);
  if (o.toStdout && o.haveOutput) return "-o and -c exclude each other";
  if (o.quiet && o.verbose) return "-q and -v exclude each other";
  return "";
}

}  // namespace mvrcli
