// bench_matcher [--standard | --phases] ORIGINAL MODIFIED
// Runs a matcher over two mapped files into memory, deflates the code stream
// into a zlib stream at libdeflate's strongest level, and prints the sizes
// and the times of both steps. With --standard it runs the standard matcher;
// with --phases it also times the thorough matcher's steps one by one.
#include <fcntl.h>
#include <libdeflate.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CheapestParse.h"
#include "Format.h"
#include "MatchScan.h"
#include "Matcher.h"
#include "ThoroughMatcher.h"

namespace {

struct Mapped {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

Mapped Map(const char* path) {
  Mapped m;
  const int fd = ::open(path, O_RDONLY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    std::perror(path);
    std::exit(1);
  }
  m.size = static_cast<uint32_t>(st.st_size);
  if (m.size > 0) {
    void* p = ::mmap(nullptr, m.size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      std::perror(path);
      std::exit(1);
    }
    m.data = static_cast<const uint8_t*>(p);
  }
  ::close(fd);
  return m;
}

class ByteSink final : public tarvo::MatcherSink {
 public:
  ByteSink(uint32_t sOrig, uint32_t sMod) : w_(tarvo::WidthsFor(sOrig, sMod)), marker_(sOrig) {}
  void Insert(const uint8_t* data, uint32_t length) override {
    Put(marker_, w_.offset);
    Put(length, w_.insertLength);
    code.insert(code.end(), data, data + length);
    ++inserts;
    inserted += length;
  }
  void Copy(uint32_t offset, uint32_t length) override {
    Put(offset, w_.offset);
    Put(length, w_.copyLength);
    ++copies;
  }
  bool Checkpoint(uint32_t, uint32_t) override { return false; }
  std::vector<uint8_t> code;
  uint64_t inserts = 0, copies = 0, inserted = 0;

 private:
  void Put(uint32_t v, unsigned w) {
    for (unsigned i = 0; i < w; ++i) code.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  tarvo::FieldWidths w_;
  uint32_t marker_;
};

double Since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

void TimePhases(const Mapped& o, const Mapped& m, tarvo::MatcherSink& sink) {
  const auto w = tarvo::WidthsFor(o.size, m.size);
  const uint32_t minLength = tarvo::LongestUncopyable(w);
  auto t = std::chrono::steady_clock::now();
  const auto index = tarvo::CandidateIndex::Build(o.data, o.size, tarvo::SampleStepFor(minLength), true);
  std::printf("index %.2f s\n", Since(t));
  t = std::chrono::steady_clock::now();
  std::vector<tarvo::MatchSpan> spans;
  tarvo::ScanMatches(*index, o.data, o.size, m.data, m.size, minLength, sink, spans);
  std::printf("scan %.2f s, %zu spans\n", Since(t), spans.size());
  t = std::chrono::steady_clock::now();
  const auto records = tarvo::CheapestParse(std::move(spans), m.size, w, tarvo::DeflatedCosts(w));
  std::printf("parse %.2f s, %zu records\n", Since(t), records.size());
}

}  // namespace

int main(int argc, char** argv) {
  bool standard = false, phases = false;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--standard") == 0) standard = true, first = 2;
  if (argc > 1 && std::strcmp(argv[1], "--phases") == 0) phases = true, first = 2;
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: bench_matcher [--standard | --phases] ORIGINAL MODIFIED\n");
    return 2;
  }
  const Mapped o = Map(argv[first]), m = Map(argv[first + 1]);
  ByteSink sink(o.size, m.size);
  if (phases) TimePhases(o, m, sink);
  auto t = std::chrono::steady_clock::now();
  if (standard) {
    tarvo::RunMatcher(o.data, o.size, m.data, m.size, 65536, sink);
  } else {
    tarvo::RunThoroughMatcher(o.data, o.size, m.data, m.size, sink);
  }
  const double matchTime = Since(t);
  t = std::chrono::steady_clock::now();
  libdeflate_compressor* c = libdeflate_alloc_compressor(12);
  std::vector<uint8_t> z(libdeflate_zlib_compress_bound(c, sink.code.size()));
  const size_t zsize = libdeflate_zlib_compress(c, sink.code.data(), sink.code.size(), z.data(), z.size());
  libdeflate_free_compressor(c);
  const double deflateTime = Since(t);
  std::printf("code %zu zlib %zu copies %llu inserts %llu inserted %llu match %.2f s deflate %.2f s\n",
              sink.code.size(), zsize, static_cast<unsigned long long>(sink.copies),
              static_cast<unsigned long long>(sink.inserts), static_cast<unsigned long long>(sink.inserted), matchTime,
              deflateTime);
  return 0;
}
