#include "brusk/engine/many_wall_results.h"

#include <functional>
#include <thread>
#include <vector>

#include "wall_result_detail.h"

namespace Brusk::Engine {

namespace {

/// Requests [begin, end) on the calling thread: check each, compute the valid ones in one call
/// of the many-wall kernel, then complete their results.
void computeShare(const WallRequest* requests, std::size_t begin, std::size_t end,
                  WallResult* results, std::optional<WallProblem>* problems,
                  const ManyWallsOptions& options, bool sequential) {
  ManyWallsInput input;
  std::size_t layers = 0;
  for (std::size_t i = begin; i < end; ++i) layers += requests[i].layers.size();
  input.reserve(end - begin, layers);
  std::vector<std::size_t> checked;  // request index of each wall of `input`
  checked.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    problems[i] = check(requests[i]);
    if (problems[i]) continue;
    input.add(requests[i].layers.data(), requests[i].layers.size(), requests[i].boundary(),
              requests[i].period);
    checked.push_back(i);
  }
  // The time shifts and lag come from the kernel too, with vector atan2.
  ManyWallsOutput output;
  output.resize(0, ManyWallsOutput::Fields::Periodic);
  ManyWallsOptions oneThread = options;
  oneThread.threads = 1;
  computeManyWalls(input, output, oneThread);
  for (std::size_t wall = 0; wall < checked.size(); ++wall) {
    const std::size_t i = checked[wall];
    if (!output.result(wall, results[i])) {
      problems[i] = Detail::overflowProblem(requests[i]);
      continue;
    }
    if (sequential) {
      const WallRequest& request = requests[i];
      estimateSequentialCapacities(request.layers.data(), request.layers.size(),
                                   request.boundary().internalSurfaceResistance, results[i].daily,
                                   results[i].twelveDay);
    }
  }
}

}  // namespace

void computeManyInto(const WallRequest* requests, std::size_t count, WallResult* results,
                     std::optional<WallProblem>* problems, const ManyWallsOptions& options,
                     bool sequential) {
  std::size_t threads = options.threads == 0 ? 1 : options.threads;
  if (threads > count) threads = count == 0 ? 1 : count;
  const auto shareEnd = [&](std::size_t share) { return count * share / threads; };
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  for (std::size_t share = 1; share < threads; ++share) {
    helpers.emplace_back(computeShare, requests, shareEnd(share), shareEnd(share + 1), results,
                         problems, std::cref(options), sequential);
  }
  computeShare(requests, 0, shareEnd(1), results, problems, options, sequential);
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace Brusk::Engine
