#include "brusk/report/provenance_section.h"

#include "text_format.h"

namespace Brusk::Report {

namespace {

std::string row(const std::string& what, const std::string& value) {
  return "<tr><th scope=\"row\">" + escapeMarkup(what) + "</th><td>" + escapeMarkup(value) +
         "</td></tr>\n";
}

}  // namespace

std::string renderProvenanceSection(const Frontend::Provenance& provenance) {
  std::string facts;
  const Frontend::ProjectFields& project = provenance.project;
  if (!project.project.empty()) facts += row("Project", project.project);
  if (!project.element.empty()) facts += row("Element", project.element);
  if (!project.author.empty()) facts += row("Author", project.author);
  facts += row("Computed with", "Brusk " + provenance.version);
  facts += row("Date", provenance.date);
  std::string standards;
  for (const std::string& standard : provenance.standards) {
    if (!standards.empty()) standards += ", ";
    standards += standard;
  }
  facts += row("Standards applied", standards);
  for (const auto& [what, choice] : provenance.conventions) facts += row(what, choice);

  std::string files;
  for (const Frontend::InputFile& file : provenance.inputs) {
    files += "<tr><td>" + escapeMarkup(file.name) + "</td><td class=\"hash\"><code>" +
             escapeMarkup(file.sha256) + "</code></td></tr>\n";
  }
  return "<section id=\"provenance\">\n<h2>Provenance</h2>\n<table "
         "class=\"provenance\">\n<tbody>\n" +
         facts +
         "</tbody>\n</table>\n<table class=\"provenance\">\n<thead><tr><th scope=\"col\">"
         "Input file</th><th scope=\"col\">SHA-256</th></tr></thead>\n<tbody>\n" +
         files +
         "</tbody>\n</table>\n<p class=\"note\">The SHA-256 (FIPS 180-4) of each file names the "
         "exact bytes the results were computed from: a file that hashes the same is the same "
         "input.</p>\n</section>\n";
}

}  // namespace Brusk::Report
