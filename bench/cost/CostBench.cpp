// The cost of construction on inputs built to be hard for the matcher, beside
// random pairs of the same size: wall time and peak RSS of each construction
// choice, every file rebuilt and compared.
//
//   bench_cost [-s MiB,MiB,...] [-m standard,fast,thorough] [-f shape,...] [-k]
//
// Shapes: "runs20" and "runs22": blocks of 20 (22) bytes of one value and one
// random byte; the modified file is the same with every random byte XOR 0x55,
// so that every probe matches one byte short of what a copy needs.
// "random": two unrelated random files. "edited": a random original and a
// copy of it with a changed byte every 4 KiB. "tiny": a 4 KiB random
// original and an unrelated random modified file (a code as large as the
// modified file, beside almost no original).
//
// Each construction runs in a child process of its own, so that its peak RSS
// (getrusage of the child) is its own. "extra" is that peak minus the sizes
// of the two inputs (both are mapped and read whole), clamped at 0. Work
// files go to a mktemp -d folder under $TMPDIR, removed at the end (-k keeps
// it). Run nothing else meanwhile.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "TarvoCore.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at <= s.size()) {
    const size_t comma = s.find(',', at);
    const size_t end = comma == std::string::npos ? s.size() : comma;
    if (end > at) out.push_back(s.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

void Save(const std::string& path, const Bytes& b) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  if (!f) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(2);
  }
}

bool SameFiles(const std::string& a, const std::string& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  std::vector<char> p(1 << 20), q(1 << 20);
  for (;;) {
    x.read(p.data(), static_cast<std::streamsize>(p.size()));
    y.read(q.data(), static_cast<std::streamsize>(q.size()));
    if (x.gcount() != y.gcount()) return false;
    if (x.gcount() == 0) return true;
    if (std::memcmp(p.data(), q.data(), static_cast<size_t>(x.gcount())) != 0) return false;
  }
}

// Blocks of `run` equal bytes and one random byte.
void Runs(std::mt19937_64& rng, size_t size, size_t run, Bytes& o, Bytes& m) {
  o.assign(size, 0);
  m.assign(size, 0);
  for (size_t i = run; i < size; i += run + 1) {
    o[i] = static_cast<uint8_t>(rng());
    m[i] = o[i] ^ 0x55;
  }
}

void Shape(const std::string& shape, size_t size, Bytes& o, Bytes& m) {
  std::mt19937_64 rng(size);
  if (shape == "runs20") return Runs(rng, size, 20, o, m);
  if (shape == "runs22") return Runs(rng, size, 22, o, m);
  o.resize(shape == "tiny" ? 4096 : size);
  for (auto& b : o) b = static_cast<uint8_t>(rng() >> 56);
  if (shape == "random" || shape == "tiny") {
    m.resize(size);
    for (auto& b : m) b = static_cast<uint8_t>(rng() >> 56);
  } else if (shape == "edited") {
    m = o;
    for (size_t i = 0; i < size; i += 4096) m[i] = static_cast<uint8_t>(rng());
  } else {
    std::fprintf(stderr, "unknown shape %s\n", shape.c_str());
    std::exit(2);
  }
}

struct Run {
  double seconds;
  long peakKiB;
  int code;
  uint64_t deltaBytes;
  bool rebuilt;
};

S_TARVO_CONSTRUCT_OPTIONS Options(const std::string& mode) {
  S_TARVO_CONSTRUCT_OPTIONS o{sizeof o, 43, 0, 0, 0, TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD};
  if (mode == "fast") o.lCompressor = TARVO_COMPRESSOR_FAST;
  if (mode == "thorough") {
    o.lMatcher = TARVO_MATCHER_THOROUGH;
    o.lCompressor = TARVO_COMPRESSOR_STRONGEST;
  }
  return o;
}

Run Measure(const std::string& dir, const std::string& mode) {
  const std::string orig = dir + "/orig", mod = dir + "/mod", delta = dir + "/out.mvr", rebuilt = dir + "/rebuilt";
  std::filesystem::remove(delta);
  const S_TARVO_CONSTRUCT_OPTIONS options = Options(mode);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) std::exit(2);
  if (child == 0) _exit(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, &options));
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Run r{};
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakKiB = usage.ru_maxrss;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (r.code != 0) return r;
  r.deltaBytes = std::filesystem::file_size(delta);
  std::filesystem::remove(rebuilt);
  S_TARVO_RECONSTRUCT_OPTIONS ro{};
  ro.dwSize = sizeof ro;
  r.rebuilt = ReconstructTargetFile(orig.c_str(), delta.c_str(), rebuilt.c_str(), nullptr, &ro) == TARVO_OK &&
              SameFiles(rebuilt, mod);
  std::filesystem::remove(rebuilt);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> sizes{"20", "40", "64"}, modes{"standard", "fast", "thorough"},
      shapes{"runs20", "runs22", "random", "edited"};
  bool keep = false;
  for (int opt; (opt = ::getopt(argc, argv, "s:m:f:k")) != -1;) {
    if (opt == 's') sizes = Split(optarg);
    else if (opt == 'm') modes = Split(optarg);
    else if (opt == 'f') shapes = Split(optarg);
    else if (opt == 'k') keep = true;
    else return 2;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string tmpl = std::string(tmp != nullptr ? tmp : "/tmp") + "/mvrcostXXXXXX";
  if (::mkdtemp(tmpl.data()) == nullptr) return 2;
  const std::string dir = tmpl;

  bool allGood = true;
  std::printf("| shape | MiB | mode | seconds | peak MiB | extra MiB | .mvr bytes | rebuilt |\n|---|---|---|---|---|---|---|---|\n");
  for (const std::string& size : sizes) {
    const size_t bytes = static_cast<size_t>(std::stoul(size)) << 20;
    for (const std::string& shape : shapes) {
      {
        Bytes o, m;
        Shape(shape, bytes, o, m);
        Save(dir + "/orig", o);
        Save(dir + "/mod", m);
      }
      for (const std::string& mode : modes) {
        const Run r = Measure(dir, mode);
        const double peak = static_cast<double>(r.peakKiB) / 1024;
        const double inputs = static_cast<double>(bytes >> 20) * (shape == "tiny" ? 1.0 : 2.0);
        const double extra = std::max(0.0, peak - inputs);
        if (r.code != 0) {
          std::printf("| %s | %s | %s | %.2f | %.0f | %.0f | FAIL %d | - |\n", shape.c_str(), size.c_str(), mode.c_str(),
                      r.seconds, peak, extra, r.code);
          allGood = false;
        } else {
          std::printf("| %s | %s | %s | %.2f | %.0f | %.0f | %llu | %s |\n", shape.c_str(), size.c_str(), mode.c_str(),
                      r.seconds, peak, extra, static_cast<unsigned long long>(r.deltaBytes), r.rebuilt ? "same" : "DIFFERS");
          allGood = allGood && r.rebuilt;
        }
        std::fflush(stdout);
      }
    }
  }
  if (!keep) std::filesystem::remove_all(dir);
  else std::fprintf(stderr, "kept %s\n", dir.c_str());
  return allGood ? 0 : 1;
}
