#include "CheapestParse.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <queue>

namespace tarvo {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
constexpr int64_t kUnreachable = std::numeric_limits<int64_t>::max() / 4;

// A copy that may start at one node and end anywhere up to its reach.
struct CopyStart {
  int64_t cost;    // of everything before it, plus the copy record
  uint32_t node;
  uint32_t reach;
};

struct CostlierFirst {
  bool operator()(const CopyStart& a, const CopyStart& b) const {
    return a.cost != b.cost ? a.cost > b.cost : a.node > b.node;
  }
};

// How a node was reached on its cheapest way, in each of the two states
// (last record a copy, or an insert), kept for the walk back.
struct NodeTrail {
  uint32_t copyFrom = kNone;    // node where the copy ending here started
  uint32_t insertFrom = kNone;  // node where the insert ending here started
  uint32_t span = kNone;        // the span a copy starting here uses
  bool startsAfterInsert = false;  // a copy from here follows an insert
};

}  // namespace

RecordCosts DeflatedCosts(FieldWidths widths) {
  return {5 * int64_t{widths.offset + widths.copyLength}, 2 * int64_t{widths.offset + widths.insertLength}, 3};
}

std::vector<ParsedRecord> CheapestParse(std::vector<MatchSpan> spans, uint32_t modifiedSize, FieldWidths widths,
                                        RecordCosts costs) {
  std::vector<ParsedRecord> records;
  if (modifiedSize == 0) return records;
  const int64_t copyCost = costs.copy, insertHead = costs.insertHead, byteCost = costs.insertByte;
  const uint32_t minCopy = LongestUncopyable(widths) + 1;

  // Every record can start and end where some span starts or ends: a copy
  // ending short of both its span's end and the next record gains nothing.
  std::vector<uint32_t> nodes{0, modifiedSize};
  nodes.reserve(2 * spans.size() + 2);
  for (const MatchSpan& s : spans) {
    nodes.push_back(s.start);
    nodes.push_back(s.end);
  }
  std::sort(nodes.begin(), nodes.end());
  nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
  std::vector<uint32_t> spanOrder(spans.size());
  for (uint32_t i = 0; i < spanOrder.size(); ++i) spanOrder[i] = i;
  std::sort(spanOrder.begin(), spanOrder.end(),
            [&](uint32_t a, uint32_t b) { return spans[a].start != spans[b].start ? spans[a].start < spans[b].start : a < b; });

  std::vector<NodeTrail> trail(nodes.size());
  // The span reaching furthest from each node, found by a sweep.
  auto longerReach = [&](uint32_t a, uint32_t b) { return spans[a].end != spans[b].end ? spans[a].end < spans[b].end : a > b; };
  std::priority_queue<uint32_t, std::vector<uint32_t>, decltype(longerReach)> covering(longerReach);
  size_t nextSpan = 0;

  std::priority_queue<CopyStart, std::vector<CopyStart>, CostlierFirst> open;
  std::deque<CopyStart> waiting;  // not yet minCopy behind the node being priced
  int64_t bestCopyMinusPos = kUnreachable;  // min over earlier nodes of (cost ending in a copy - byteCost * position)
  uint32_t bestCopyNode = kNone;
  int64_t finalCopy = kUnreachable, finalInsert = kUnreachable;

  for (uint32_t v = 0; v < nodes.size(); ++v) {
    const uint32_t pos = nodes[v];
    int64_t endCopy = kUnreachable, endInsert = kUnreachable;
    if (v == 0) {
      endCopy = 0;  // the start behaves like the end of a copy: an insert may follow
    } else {
      while (!waiting.empty() && nodes[waiting.front().node] + minCopy <= pos) {
        open.push(waiting.front());
        waiting.pop_front();
      }
      while (!open.empty() && open.top().reach < pos) open.pop();
      if (!open.empty()) {
        endCopy = open.top().cost;
        trail[v].copyFrom = open.top().node;
      }
      if (bestCopyNode != kNone) {
        endInsert = bestCopyMinusPos + insertHead + byteCost * pos;
        trail[v].insertFrom = bestCopyNode;
      }
    }
    if (pos == modifiedSize) {
      finalCopy = endCopy;
      finalInsert = endInsert;
      break;
    }
    // Copies from here.
    while (nextSpan < spanOrder.size() && spans[spanOrder[nextSpan]].start <= pos) covering.push(spanOrder[nextSpan++]);
    while (!covering.empty() && spans[covering.top()].end <= pos) covering.pop();
    const int64_t here = std::min(endCopy, endInsert);
    if (!covering.empty() && here < kUnreachable) {
      const uint32_t s = covering.top();
      if (spans[s].end - pos >= minCopy) {
        trail[v].span = s;
        trail[v].startsAfterInsert = endInsert <= endCopy;
        waiting.push_back({here + copyCost, v, spans[s].end});
      }
    }
    if (endCopy < kUnreachable && endCopy - byteCost * pos < bestCopyMinusPos) {
      bestCopyMinusPos = endCopy - byteCost * pos;
      bestCopyNode = v;
    }
  }

  // Walk back from the end.
  bool inInsert = finalInsert <= finalCopy;
  uint32_t v = static_cast<uint32_t>(nodes.size() - 1);
  while (v != 0) {
    if (inInsert) {
      const uint32_t u = trail[v].insertFrom;
      records.push_back({nodes[u], nodes[v] - nodes[u], false, 0});
      v = u;
      inInsert = false;
    } else {
      const uint32_t u = trail[v].copyFrom;
      const MatchSpan& s = spans[trail[u].span];
      records.push_back({nodes[u], nodes[v] - nodes[u], true, s.offset + (nodes[u] - s.start)});
      inInsert = trail[u].startsAfterInsert;
      v = u;
    }
  }
  std::reverse(records.begin(), records.end());
  return records;
}

}  // namespace tarvo
