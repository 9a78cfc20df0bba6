// CSV downloads: what Python's csv module reads back is what was written, formulas stay text.
#include "reports/csv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace {

// Reads the file with Python's csv module; answers the cells as lines "a|b|c".
std::string read_with_python(const std::string& path) {
  const std::string command =
      "python3 -c \"import csv,sys\n"
      "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
      "    for r in csv.reader(f): print('|'.join(c.replace(chr(10), '<LF>').replace(chr(13), "
      "'<CR>') for c in r))\" " +
      path;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "no python";
  std::string out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  pclose(pipe);
  return out;
}

TEST(Csv, round_trips_through_pythons_csv_module) {
  testing_support::TempDir dir;
  const std::string path = dir.str() + "/report.csv";
  std::ofstream(path, std::ios::binary)
      << reports::csv::kByteOrderMark << reports::csv::row({"Trip", "Customer", "Amount"})
      << reports::csv::row({"1062", "Adams, \"North\" campus", "$1,120.50"})
      << reports::csv::row({"1063", "Line one\r\nline two", "Zürich café"})
      << reports::csv::row({"", "trailing", ""});
  EXPECT_EQ(read_with_python(path),
            "Trip|Customer|Amount\n"
            "1062|Adams, \"North\" campus|$1,120.50\n"
            "1063|Line one<CR><LF>line two|Zürich café\n"
            "|trailing|\n");
}

TEST(Csv, cells_a_spreadsheet_would_run_stay_text) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "'+1"},
      {"-2+3", "'-2+3"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tcmd", "'\tcmd"},
      {"plain", "plain"},
      {"a=b", "a=b"},
  };
  for (const auto& c : cases) EXPECT_EQ(reports::csv::cell(c.in), c.out) << c.in;
}

TEST(Csv, an_html_cell_reads_as_the_page_shows_it) {
  EXPECT_EQ(reports::csv::text_of_html(" <a href='x'>1062</a>&nbsp;"), "1062");
  EXPECT_EQ(reports::csv::text_of_html("Smith &amp; Sons &lt;K-12&gt;"), "Smith & Sons <K-12>");
}

}  // namespace
