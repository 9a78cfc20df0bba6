// CSV cells and records, and the text of a report's HTML cell.
#include "reports/csv.h"

#include "platform/text/text.h"

namespace reports::csv {

std::string cell(std::string_view text) {
  std::string value;
  if (!text.empty() && (text.front() == '=' || text.front() == '+' || text.front() == '-' ||
                        text.front() == '@' || text.front() == '\t' || text.front() == '\r')) {
    value = "'";
  }
  value += text;
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string row(const std::vector<std::string>& cells) {
  std::string out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) out += ',';
    out += cell(cells[i]);
  }
  return out + "\r\n";
}

std::string text_of_html(std::string_view html) {
  std::string text;
  bool in_tag = false;
  for (char c : html) {
    if (c == '<') {
      in_tag = true;
    } else if (c == '>') {
      in_tag = false;
    } else if (!in_tag) {
      text += c;
    }
  }
  static constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&nbsp;", " "}, {"&lt;", "<"},   {"&gt;", ">"}, {"&quot;", "\""},
      {"&#39;", "'"},  {"&#x27;", "'"}, {"&amp;", "&"}};
  std::string decoded;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& [entity, plain] : kEntities) {
        if (std::string_view(text).substr(i, entity.size()) == entity) {
          decoded += plain;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) decoded += text[i++];
  }
  return text::trim(decoded);
}

void send(web::Response& response, std::string_view file_name, const std::string& csv) {
  response.set_header("Content-Type", "text/csv; charset=utf-8");
  response.set_header("Content-Disposition",
                      "attachment; filename=\"" + std::string(file_name) + "\"");
  response.Write(csv);
}

}  // namespace reports::csv
