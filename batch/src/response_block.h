#pragma once

// `brusk batch --outdoor`: one wall per line through the periodic response to shared profiles.

#include <memory>
#include <string>
#include <string_view>

#include "brusk/batch/line_pipeline.h"
#include "brusk/batch/wall_batch.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Batch {

/// Reads one input line into `wall`: the fast reader for the plain subset, else the full one,
/// which words what is wrong; false with that message in `error` when the line is bad.
[[nodiscard]] bool readBatchWall(std::string_view text, std::size_t lineNumber,
                                 const Frontend::Catalogue& catalogue,
                                 const std::string& sourceName, Frontend::Wall& wall,
                                 std::string& error);

/// The header of the response rows: summaries, or series with `profiles.series`.
[[nodiscard]] std::string responseHeader(const ResponseBatchProfiles& profiles, bool csv);

/// The row of a line that has no response, under its wall's `name` (Frontend::lineWallName),
/// carrying `reason`.
void appendResponseError(const ResponseBatchProfiles& profiles, bool csv, std::size_t lineNumber,
                         const std::string& name, const std::string& reason, std::string& out);

/// Checks and analyses the profiles once for the run: throws Frontend::Error naming the
/// profile's source when one cannot be used.
class ResponseRun {
public:
  ResponseRun(const ResponseBatchProfiles& profiles, const Frontend::Catalogue& catalogue,
              std::string sourceName, bool csv);
  ~ResponseRun();
  ResponseRun(const ResponseRun&) = delete;
  ResponseRun& operator=(const ResponseRun&) = delete;
  /// A processor of one worker thread.
  [[nodiscard]] std::unique_ptr<BlockProcessor> makeProcessor() const;
  /// What the workers share, read only (defined with them).
  struct Shared;

private:
  std::unique_ptr<Shared> _shared;
};

}  // namespace Brusk::Batch
