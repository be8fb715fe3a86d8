// mvr: diff, apply, verify and info for scripts. Messages go to stderr as
// "mvr: NAME: MESSAGE", stdout carries only what was asked for, and the exit
// code is the core's result (64 for a wrong command line).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/types.h>
#include <string>
#include <vector>

#include "MvrFileInfo.h"
#include "FindOriginal.h"
#include "Json.h"
#include "Options.h"
#include "TempCopy.h"
#include "TarvoCore.h"
#include "platform/ShownName.h"
#include "platform/StringTable.h"

namespace {

constexpr int kUsage = 64;

bool g_force = false;
bool g_quiet = false, g_verbose = false;
// Drawn only on a terminal whose foreground job this is: a background job
// writes nothing there (a terminal may stop such writers).
bool g_bar = false;
int g_shown = -1;
uint32_t g_total = 0;
std::chrono::steady_clock::time_point g_start;

void DrawBar(uint32_t done, uint32_t total) {
  const int percent = total == 0 ? 100 : static_cast<int>(static_cast<uint64_t>(done) * 100 / total);
  if (percent == g_shown) return;
  g_shown = percent;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - g_start).count();
  const double rate = seconds > 0 ? done / seconds / 1e6 : 0;
  const int filled = percent * 30 / 100;
  std::fprintf(stderr, "\r[%s%s] %3d%% %7.1f MB/s", std::string(static_cast<size_t>(filled), '#').c_str(),
               std::string(static_cast<size_t>(30 - filled), ' ').c_str(), percent, rate);
}

int Usage(const std::string& why) {
  std::fprintf(stderr, "mvr: %s (see mvr --help)\n", why.c_str());
  return kUsage;
}

int Fail(const std::string& name, E_TARVO_ERROR code, const char* path, const std::string& why = "") {
  char message[150] = "";
  // The core's last run may have a more precise message than its code's
  // (an old file damaged by a failed write in place).
  const unsigned precise = TarvoLastMessageId();
  const unsigned id = precise != 0 ? precise : kTarvoMessageBase + static_cast<unsigned>(code);
  if (platform::LoadModuleString(kTarvoCoreModule, id, message, sizeof message) <= 0) {
    std::snprintf(message, sizeof message, "result %d", static_cast<int>(code));
  }
  std::string reason = why;
  if (path != nullptr && (code == TARVO_ERR_OPEN_ORIGINAL || code == TARVO_ERR_OPEN_MODIFIED ||
                          code == TARVO_ERR_OPEN_DELTA)) {
    struct stat st {};
    if (::stat(path, &st) != 0 || ::access(path, R_OK) != 0) reason = std::string(" (") + std::strerror(errno) + ")";
  }
  std::fprintf(stderr, "mvr: %s: %s%s\n", platform::ShownName(name).c_str(), message, reason.c_str());
  return code;
}

// Answers the core's question about an existing output: only -f says yes.
int32_t Notify(TypeNotifyEvent* event, uintptr_t) {
  if (event->nKind == TARVO_EVENT_PROGRESS) {
    g_total = event->dwTotal;
    if (g_bar) DrawBar(event->dwDone, event->dwTotal);
    return 0;
  }
  return event->nKind == TARVO_EVENT_FILE_EXISTS && !g_force ? 1 : 0;
}

S_TARVO_NOTIFY_INFO Target() {
  S_TARVO_NOTIFY_INFO n{};
  n.dwMethod = TARVO_NOTIFY_FUNCTION;
  n.pfnNotify = Notify;
  return n;
}

using Args = mvrcli::Options;

int NoTemp(const std::string& name) {
  std::fprintf(stderr, "mvr: %s: cannot make a temporary file (%s)\n", platform::ShownName(name).c_str(),
               std::strerror(errno));
  return TARVO_ERR_CREATE_OUTPUT;
}

int Finished(const Args& a, E_TARVO_ERROR r, const std::string& out, const std::string& modified,
             mvrcli::TempCopy& data);

int Diff(const Args& a) {
  if (a.operands.size() != 2) return Usage("diff needs ORIGINAL and MODIFIED");
  if (a.thorough && a.fast) return Usage("--thorough and --fast exclude each other");
  if (a.operands[1] == "-" && !a.haveOutput && !a.toStdout) return Usage("diff from standard input needs -o or -c");
  if (a.operands[0] == "-") return Usage("ORIGINAL cannot be standard input");
  std::string out = a.haveOutput ? a.output : a.operands[1] + ".mvr";
  mvrcli::TempCopy data;
  if (a.toStdout) {
    if (!data.Create()) return NoTemp(a.operands[1]);
    out = data.Path();
  }
  S_TARVO_CONSTRUCT_OPTIONS o{};
  o.dwSize = sizeof o;
  o.bFullReferencePath = a.fullNames ? 1 : 0;
  o.bFullTargetPath = a.fullNames ? 1 : 0;
  o.bNotifyOverwrite = a.toStdout ? 0 : 1;
  o.lMatcher = a.thorough ? TARVO_MATCHER_THOROUGH : TARVO_MATCHER_STANDARD;
  o.lCompressor = a.thorough ? TARVO_COMPRESSOR_STRONGEST : a.fast ? TARVO_COMPRESSOR_FAST : TARVO_COMPRESSOR_STANDARD;
  const S_TARVO_NOTIFY_INFO n = Target();
  // Standard input is kept in an unnamed copy, since construction maps its
  // inputs; it records the output's name without ".mvr", or "stdin" with -c
  // (standard input has no path worth recording).
  std::string modified = a.operands[1];
  mvrcli::TempCopy input;
  std::string name;
  if (modified == "-") {
    name = a.toStdout ? "stdin" : a.output.substr(a.output.rfind('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".mvr") == 0) name.resize(name.size() - 4);
    if (name.empty() || name == "." || name == "..") name = "stdin";
    if (!input.FromStdin()) return NoTemp("-");
    modified = input.Path();
    o.pszTargetName = name.c_str();
  }
  const E_TARVO_ERROR r = ConstructDeltaFile(a.operands[0].c_str(), modified.c_str(), out.c_str(), &n, &o);
  return Finished(a, r, out, modified, data);
}

// Why an input cannot be mapped, when that is its size: the core reports
// both as a lack of memory, on the difference file.
std::string SizeFault(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  if (st.st_size == 0) return " (the file is empty)";
  if (static_cast<uint64_t>(st.st_size) > UINT32_MAX) return " (the file is 4 GiB or larger)";
  return "";
}

int Finished(const Args& a, E_TARVO_ERROR r, const std::string& out, const std::string& modified,
             mvrcli::TempCopy& data) {
  if (r == TARVO_OK) {
    if (a.toStdout && !data.ToStdout()) {
      std::fprintf(stderr, "mvr: -: %s\n", std::strerror(errno));
      return TARVO_ERR_WRITE_DELTA;
    }
    return 0;
  }
  if (r == TARVO_ERR_NO_MEMORY) {
    if (const std::string why = SizeFault(a.operands[0]); !why.empty()) return Fail(a.operands[0], r, nullptr, why);
    if (const std::string why = SizeFault(modified); !why.empty()) return Fail(a.operands[1], r, nullptr, why);
  }
  const bool onOriginal = r == TARVO_ERR_OPEN_ORIGINAL || r == TARVO_ERR_READ_ORIGINAL;
  const bool onModified = r == TARVO_ERR_OPEN_MODIFIED || r == TARVO_ERR_READ_MODIFIED;
  const std::string name = onOriginal ? a.operands[0] : onModified ? a.operands[1] : a.toStdout ? "-" : out;
  return Fail(name, r, onModified ? modified.c_str() : name.c_str());
}

int Apply(const Args& a) {
  if (a.operands.empty() || a.operands.size() > 2) return Usage("apply needs DIFF and at most ORIGINAL");
  if (a.operands.size() > 1 && a.operands[1] == "-") return Usage("ORIGINAL cannot be standard input");
  // A difference file from standard input is read from a copy; its
  // recorded names are taken as if it lay in the working folder.
  mvrcli::TempCopy input;
  const bool fromStdin = a.operands[0] == "-";
  if (fromStdin && !input.FromStdin()) return NoTemp("-");
  const std::string delta = fromStdin ? input.Path() : a.operands[0];
  const std::string shownDelta = a.operands[0];
  CDeltaFileInfo info;
  const bool valid = info.PrepareInfo(delta.c_str()) != 0;
  char path[4096];
  std::string recordedOriginal;
  const std::string& originalName = info.GetReferenceFileName();
  if (fromStdin && valid && a.operands.size() < 2 &&
      TarvoRecordedOriginalPath("./stdin", originalName.data(), originalName.size(), path, sizeof path) != 0) {
    recordedOriginal = path;
  }
  const char* original = a.operands.size() > 1 ? a.operands[1].c_str()
                         : recordedOriginal.empty() ? nullptr : recordedOriginal.c_str();
  mvrcli::TempCopy data;
  S_TARVO_RECONSTRUCT_OPTIONS o{};
  o.dwSize = sizeof o;
  o.bNotifyOverwrite = 1;
  std::string out;       // an output the user named
  std::string recorded;  // where the recorded name lands, for messages
  if (a.toStdout) {
    if (!data.Create()) return NoTemp("-");
    out = data.Path();
    o.bNotifyOverwrite = 0;
  } else if (a.haveOutput) {
    out = a.output;
  } else {
    // The recorded name stays a recorded one whatever the flags: the core
    // creates it in its folder, and -f is the user's yes to replacing the
    // entry of that name there (a link as the link), never to writing
    // through it.
    o.bRecordedTargetName = 1;
    o.bReplaceRecorded = g_force ? 1 : 0;
    if (fromStdin) o.pszRecordedFolder = ".";
    const std::string& name = info.GetTargetFileName();
    if (valid && TarvoRecordedTargetPath(fromStdin ? "./stdin" : delta.c_str(), name.data(), name.size(), path,
                                         sizeof path) != 0) {
      recorded = path;
    }
  }
  const S_TARVO_NOTIFY_INFO n = Target();
  const E_TARVO_ERROR r = ReconstructTargetFile(original, delta.c_str(), out.c_str(), &n, &o);
  if (r == TARVO_OK) {
    if (a.toStdout && !data.ToStdout()) {
      std::fprintf(stderr, "mvr: -: %s\n", std::strerror(errno));
      return TARVO_ERR_WRITE_OUTPUT;
    }
    return 0;
  }
  const bool onOriginal = r == TARVO_ERR_OPEN_ORIGINAL || r == TARVO_ERR_READ_ORIGINAL || r == TARVO_ERR_WRONG_ORIGINAL;
  const bool onDelta = r == TARVO_ERR_OPEN_DELTA || r == TARVO_ERR_READ_DELTA || r == TARVO_ERR_BAD_DELTA;
  const std::string& output = out.empty() ? recorded : out;
  const std::string name = onOriginal && original != nullptr ? original
                           : onDelta || output.empty()       ? shownDelta
                           : a.toStdout                      ? "-"
                                                             : output;
  return Fail(name, r, name.c_str());
}

int Verify(const Args& a) {
  if (a.operands.empty() || a.operands.size() > 2) return Usage("verify needs DIFF and at most ORIGINAL");
  mvrcli::TempCopy input;
  const bool fromStdin = a.operands[0] == "-";
  if (fromStdin && !input.FromStdin()) return NoTemp("-");
  const std::string delta = fromStdin ? input.Path() : a.operands[0];
  std::string recordedOriginal;
  CDeltaFileInfo info;
  char path[4096];
  if (fromStdin && a.operands.size() < 2 && info.PrepareInfo(delta.c_str()) != 0 &&
      TarvoRecordedOriginalPath("./stdin", info.GetReferenceFileName().data(), info.GetReferenceFileName().size(),
                                path, sizeof path) != 0) {
    recordedOriginal = path;
  }
  const char* original = a.operands.size() > 1 ? a.operands[1].c_str()
                         : recordedOriginal.empty() ? nullptr : recordedOriginal.c_str();
  const S_TARVO_NOTIFY_INFO n = Target();
  const E_TARVO_ERROR r = VerifyDeltaFile(original, delta.c_str(), &n);
  if (r == TARVO_OK) return 0;
  const bool onOriginal = r == TARVO_ERR_OPEN_ORIGINAL || r == TARVO_ERR_READ_ORIGINAL || r == TARVO_ERR_WRONG_ORIGINAL;
  const std::string name = onOriginal && original != nullptr ? original : a.operands[0];
  return Fail(name, r, onOriginal ? name.c_str() : delta.c_str());
}

int Info(const Args& a) {
  if (a.operands.empty()) return Usage("info needs at least one DIFF");
  int result = 0;
  bool first = true;
  const bool array = a.json && a.operands.size() > 1;
  std::string json = array ? "[" : "";
  for (const std::string& f : a.operands) {
    struct stat st {};
    if (::stat(f.c_str(), &st) != 0 || ::access(f.c_str(), R_OK) != 0) {
      result = Fail(f, TARVO_ERR_OPEN_DELTA, f.c_str());
      continue;
    }
    CDeltaFileInfo info;
    if (info.PrepareInfo(f.c_str()) == 0) {
      result = Fail(f, TARVO_ERR_BAD_DELTA, nullptr);
      continue;
    }
    const TypeHeadDeltaFile& h = info.GetHeader();
    char when[32];
    struct tm t {};
    ::gmtime_r(&st.st_mtime, &t);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &t);
    char numbers[200];
    if (a.json) {
      if (!first) json += ",";
      json += "{" + mvrcli::JsonName("file", f);
      std::snprintf(numbers, sizeof numbers,
                    ",\"version\":\"%c\",\"size\":%u,\"crc32\":%u,\"code_offset\":%lu,\"modified_time\":\"%s\"",
                    h.chSignature[15], h.dwDeltaFileSize, h.dwDeltaCheckSum, info.GetCodeOffset(), when);
      json += numbers;
      json += ",\"original\":{" + mvrcli::JsonName("name", info.GetReferenceFileName());
      std::snprintf(numbers, sizeof numbers, ",\"size\":%lu,\"crc32\":%lu}", info.GetReferenceFileSize(),
                    info.GetReferenceFileCheckSum());
      json += numbers;
      json += ",\"modified\":{" + mvrcli::JsonName("name", info.GetTargetFileName());
      std::snprintf(numbers, sizeof numbers, ",\"size\":%lu,\"crc32\":%lu}}", info.GetTargetFileSize(),
                    info.GetTargetFileCheckSum());
      json += numbers;
    } else {
      if (!first) std::fputs("\n", stdout);
      // Every name may hold anything: escaped, none of them can forge a line.
      std::printf("file:        %s\nversion:     %c\nsize:        %u\ncrc32:       %08x\ncode offset: %lu\n"
                  "written:     %s\noriginal:    %s\n  size:      %lu\n  crc32:     %08lx\n"
                  "modified:    %s\n  size:      %lu\n  crc32:     %08lx\n",
                  platform::ShownName(f).c_str(), h.chSignature[15], h.dwDeltaFileSize, h.dwDeltaCheckSum,
                  info.GetCodeOffset(), when, platform::ShownName(info.GetReferenceFileName()).c_str(),
                  info.GetReferenceFileSize(), info.GetReferenceFileCheckSum(),
                  platform::ShownName(info.GetTargetFileName()).c_str(), info.GetTargetFileSize(),
                  info.GetTargetFileCheckSum());
    }
    first = false;
  }
  if (array) json += "]";
  // One file that fails prints nothing: there is no object to print.
  if (a.json && (array || !first)) std::fputs((json + "\n").c_str(), stdout);
  return result;
}

int Find(const Args& a) {
  if (a.operands.empty()) return Usage("find needs DIFF");
  const std::string& f = a.operands[0];
  struct stat st {};
  if (::stat(f.c_str(), &st) != 0 || ::access(f.c_str(), R_OK) != 0) return Fail(f, TARVO_ERR_OPEN_DELTA, f.c_str());
  CDeltaFileInfo info;
  if (info.PrepareInfo(f.c_str()) == 0) return Fail(f, TARVO_ERR_BAD_DELTA, nullptr);
  std::vector<std::string> folders(a.operands.begin() + 1, a.operands.end());
  if (folders.empty()) {
    const size_t slash = f.rfind('/');
    folders.push_back(slash == std::string::npos ? "." : slash == 0 ? "/" : f.substr(0, slash));
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') folders.emplace_back(home);
  }
  const auto found = mvrcli::FindOriginal(folders, static_cast<uint32_t>(info.GetReferenceFileSize()),
                                          static_cast<uint32_t>(info.GetReferenceFileCheckSum()),
                                          info.GetHeader().chSignature[15]);
  if (a.json) {
    // A path that is UTF-8 is a string, as it always was; one that is not
    // becomes an object that also carries its bytes.
    std::string json = "[";
    for (size_t i = 0; i < found.size(); ++i) {
      if (i != 0) json += ",";
      json += mvrcli::IsUtf8(found[i]) ? mvrcli::JsonString(found[i]) : "{" + mvrcli::JsonName("path", found[i]) + "}";
    }
    std::fputs((json + "]\n").c_str(), stdout);
  } else {
    for (const std::string& p : found) std::printf("%s\n", platform::ShownName(p).c_str());
  }
  return found.empty() ? 1 : 0;
}

const char kHelp[] =
    "Usage: mvr diff   [-f] [-q|-v] [--full-names] [--thorough|--fast] ORIGINAL MODIFIED [-o DIFF | -c]\n"
    "       mvr apply  [-f] [-q|-v] DIFF [ORIGINAL] [-o MODIFIED | -c]\n"
    "       mvr info   [--json] DIFF...\n"
    "       mvr verify [-q|-v] DIFF [ORIGINAL]\n"
    "       mvr find   [--json] DIFF [FOLDER...]\n"
    "       mvr --help | --version\n"
    "  -                  standard input (MODIFIED of diff, DIFF of apply and verify), never a terminal\n"
    "  -c, --stdout       write the result to standard output (to a terminal only with -f)\n"
    "  -f, --force        replace an existing output\n"
    "  -o, --output=FILE  the output's name\n"
    "  -q, --quiet        no progress bar; -v, --verbose: a summary line\n"
    "  --full-names       store full paths instead of bare file names\n"
    "  --thorough         look harder for matches and compress hardest (slowest)\n"
    "  --fast             compress faster\n"
    "  --                 the end of the options\n"
    "Exit status: 0 success, 1-17 the result code, 64 a wrong command line;\n"
    "find: 0 found, 1 none.\n";

// A difference file or a rebuilt file is not for a terminal, and a terminal
// on standard input would only wait for typing: both are refused unless -f
// says the terminal is meant. 0 when the streams are fine.
int RefuseTerminals(const std::string& command, const Args& a) {
  if (a.toStdout && !g_force && ::isatty(STDOUT_FILENO) == 1) {
    std::fputs("mvr: standard output is a terminal; use -f to write there\n", stderr);
    return kUsage;
  }
  const bool readsStdin = (command == "diff" && a.operands.size() > 1 && a.operands[1] == "-") ||
                          ((command == "apply" || command == "verify") && !a.operands.empty() && a.operands[0] == "-");
  if (readsStdin && ::isatty(STDIN_FILENO) == 1) {
    std::fputs("mvr: standard input is a terminal; redirect it from a file or a pipe\n", stderr);
    return kUsage;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) return Usage("a command is needed");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") return std::fputs(kHelp, stdout) < 0 ? 1 : 0;
  if (command == "--version") return std::printf("mvr %s\n", MVR_VERSION) < 0 ? 1 : 0;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return std::fputs(kHelp, stdout) < 0 ? 1 : 0;
    if (std::strcmp(argv[i], "--") == 0) break;
  }
  Args a;
  if (const std::string why = mvrcli::ParseOptions(command, argc - 1, argv + 1, a); !why.empty()) return Usage(why);
  g_force = a.force;
  g_quiet = a.quiet;
  g_verbose = a.verbose;
  if (const int refused = RefuseTerminals(command, a); refused != 0) return refused;
  g_bar = !g_quiet && ::isatty(STDERR_FILENO) == 1 && ::tcgetpgrp(STDERR_FILENO) == ::getpgrp();
  g_start = std::chrono::steady_clock::now();
  int r = -1;
  if (command == "diff") r = Diff(a);
  if (command == "apply") r = Apply(a);
  if (command == "verify") r = Verify(a);
  if (r >= 0) {
    if (g_shown >= 0) std::fputc('\n', stderr);
    if (g_verbose && r == 0) {
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - g_start).count();
      std::fprintf(stderr, "mvr: %s: %u bytes in %.2f s\n",
                   a.operands.empty() ? "" : platform::ShownName(a.operands.back()).c_str(), g_total, seconds);
    }
    return r;
  }
  if (command == "info") return Info(a);
  return Find(a);
}
