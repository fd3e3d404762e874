// Writes the three-wall comparison report to the file named on the command line, for the
// validity and browser checks and the documentation screenshot.
#include <fstream>
#include <iostream>

#include "brusk/frontend/error.h"
#include "brusk/report/html_report.h"
#include "example_walls.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: brusk_report_example OUT.html\n";
    return 2;
  }
  try {
    Brusk::Report::ReportOptions options;
    options.title = "Three walls compared";
    // A provenance of fixed date and inputs, so that its markup is checked with the rest.
    Brusk::Frontend::Provenance provenance;
    provenance.date = "2025-01-01";
    provenance.inputs = {{"walls <3>.toml", std::string(64, 'a')}};
    provenance.standards = {"ISO 13786:2017", "ISO 6946:2017"};
    provenance.conventions = {{"Cycle length", "T = 24 h"}};
    provenance.project = {"Example & project", "Three walls", "Brusk"};
    options.provenance = provenance;
    const std::string html =
        Brusk::Report::renderHtmlReport(Brusk::Report::Examples::threeWalls(), options);
    std::ofstream out(argv[1], std::ios::binary);
    out << html;
    if (!out.flush()) {
      std::cerr << "cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const Brusk::Frontend::Error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
