// The command line of one mvr command, parsed the way GNU tools parse:
// bundled short options (-fq), -oFILE, -o FILE, --output=FILE, --output
// FILE, unique prefixes of long options, options before, between and after
// the operands, and -- before operands that begin with '-'. Each command
// takes only its own options; any other is a usage error that names it.
#pragma once

#include <string>
#include <vector>

namespace mvrcli {

struct Options {
  std::vector<std::string> operands;
  std::string output;
  bool haveOutput = false, toStdout = false, fullNames = false, json = false, thorough = false, fast = false;
  bool force = false, quiet = false, verbose = false;
};

// Whether command is one of diff, apply, verify, info and find.
bool KnownCommand(const std::string& command);

// Parses args[1..count) for command (args[0] is the command itself). Returns
// an empty string, or the reason for a usage error.
std::string ParseOptions(const std::string& command, int count, char** args, Options& o);

}  // namespace mvrcli
