// libFuzzer target over the batch reader's fast path for plain wall lines: every input is one
// line, read by readPlainWallLine in fresh and reused walls and, whenever it is accepted, by the
// full reader too. A disagreement, the full reader refusing, an exception or a sanitizer report
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "plain_wall_line_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Brusk::Frontend::Catalogue catalogue = Brusk::Frontend::Catalogue::builtIn();
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string disagreement = BruskFuzz::plainWallLineDisagreement(line, catalogue);
  if (!disagreement.empty()) {
    std::fprintf(stderr, "\nplain wall line: %s\n", disagreement.c_str());
    std::fflush(stderr);
    __builtin_trap();
  }
  return 0;
}
