// CSV for the reports' downloads: RFC 4180 quoting, UTF-8 with a byte order mark so that
// spreadsheet programs read it as UTF-8, and cells that a spreadsheet would run as a formula
// made plain text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/web/runtime.h"

namespace reports::csv {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One cell: quoted when it holds a comma, a quote, CR or LF (quotes doubled); a cell starting
// with "=", "+", "-" or "@" (or a tab or CR, which some programs skip) gets a leading "'" so that
// it stays text. A number the report formats itself (e.g. "-5" or "$-1.00") is neutralised too:
// a download is for reading, not for running.
std::string cell(std::string_view text);

// One record: the cells joined by "," and ended by CR LF.
std::string row(const std::vector<std::string>& cells);

// The text of an HTML cell as the page shows it: tags removed, the common entities decoded,
// blanks around it trimmed.
std::string text_of_html(std::string_view html);

// Answers the request with `csv` as a file named `file_name` to download.
void send(web::Response& response, std::string_view file_name, const std::string& csv);

}  // namespace reports::csv
