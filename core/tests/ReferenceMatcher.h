// A deliberately plain rendering of the matcher, kept apart from the fast
// one: 32-bit arithmetic, a byte-at-a-time search over every start position,
// records encoded straight into a byte vector. The fast matcher must produce
// exactly this stream.
#pragma once

#include <cstdint>
#include <vector>

namespace reference {

inline unsigned Width(uint32_t n) {
  unsigned w = 0;
  while (n != 0) {
    ++w;
    n >>= 8;
  }
  return w;
}

inline void Put(std::vector<uint8_t>& out, uint32_t v, unsigned width) {
  for (unsigned i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> CodeStream(const std::vector<uint8_t>& orig, const std::vector<uint8_t>& mod,
                                       uint32_t G = 65536) {
  const uint32_t Sorig = static_cast<uint32_t>(orig.size()), Smod = static_cast<uint32_t>(mod.size());
  const unsigned WO = Width(Sorig), WL = Width(Sorig < Smod ? Sorig : Smod), WI = Width(Smod);
  const uint32_t T = 2 * (WO + WL) + 5, STEP = 4 * T;
  uint32_t B = Smod >> 7, H = Smod >> 5, P = B;
  if (B > 65536) { H = 65536; B = 65536; P = Smod >> 9; }
  uint32_t L = 32 * T;
  const uint32_t A = 32 * T;
  if (G / 4 < H) H = G / 4;
  if (G / 8 < B) { B = G / 8; P = G / 8; L = 64 * T; }
  int32_t d = static_cast<int32_t>(Sorig - Smod);
  if (d < 0) d = -d;
  const bool windowed = Sorig > G && static_cast<uint32_t>(d) <= (Sorig >> 2);
  const uint32_t E = G > Sorig ? Sorig : H;

  std::vector<uint8_t> out;
  uint32_t pos = 0, litStart = 0, pending = 0, Wstart = 0, Wend = E;
  bool pendingFlag = false;
  int toggle = 0;
  while (pos < Smod) {
    if (pos > P) {
      if (windowed) {
        Wstart = pos < H ? 0 : pos - H;
        Wend = pos + H + B < Sorig ? pos + H + B : Sorig;
      }
      P = P + B;
    }
    uint32_t Sstart = Wstart, Send = Wend;
    if (windowed && pending > L && toggle == 1) { Sstart = 0; Send = Sorig; }
    uint32_t best = T, bestPos = 0;
    for (uint32_t j = Sstart; j < Send;) {
      uint32_t len = 0;
      while (pos + len < Smod && j + len < Sorig && mod[pos + len] == orig[j + len]) ++len;
      if (len > best) { best = len; bestPos = j; }
      j = j + len + 1;
    }
    if (best > T) {
      uint32_t copyLen = best, q = pos;
      if (pendingFlag) {
        while (bestPos > 0 && pending > 0 && orig[bestPos - 1] == mod[q - 1]) {
          --bestPos; --q; --pending; ++copyLen;
        }
        if (pending > 0) {
          Put(out, Sorig, WO);
          Put(out, pending, WI);
          out.insert(out.end(), mod.begin() + litStart, mod.begin() + litStart + pending);
        }
        pendingFlag = false;
      }
      Put(out, bestPos, WO);
      Put(out, copyLen, WL);
      pos = pos + best - STEP;
    } else if (!pendingFlag) {
      pendingFlag = true; litStart = pos; pending = STEP;
    } else {
      pending += STEP;
      if (pending > A) { pos += STEP; pending += STEP; }
      if (pending > B) { pos += B; pending += B; }
    }
    toggle ^= 1;
    pos += STEP;
  }
  if (pendingFlag) {
    Put(out, Sorig, WO);
    Put(out, Smod - litStart, WI);
    out.insert(out.end(), mod.begin() + litStart, mod.end());
  }
  return out;
}

}  // namespace reference
