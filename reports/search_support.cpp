// Pieces the searches and the reports share.
#include "reports/search_support.h"

#include <algorithm>
#include <limits>

#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/persistence.h"

namespace reports {

bool typed_date(const std::string& text) {
  return text.find('#') == std::string::npos && vb::IsDate(vb::Variant(text));
}

void add_date_range(frame::ModuleState& module, SearchCriteria& criteria, const std::string& column,
                    const std::string& from, std::string& to, const char* from_refusal,
                    const char* to_refusal) {
  if (from.empty()) return;
  auto refuse = [&module](const char* message) {
    module.error = message;
    frame::exit_step();
  };
  if (!typed_date(from)) refuse(from_refusal);
  if (vb::Trim(to).empty()) {
    to = from;
  } else if (!typed_date(to)) {
    refuse(to_refusal);
  }
  criteria.add(" " + column + " >= #" + from + "# and " + column + " <= #" + to + "#");
}

std::string plain_select(const std::string& name, const std::string& attributes,
                         std::span<const std::string> items, const std::string& selected) {
  std::string html = "<select name='" + name + "' " + attributes + ">";
  for (const std::string& item : items) {
    const std::string shown = web::html_escape(item);
    if (item.empty()) {
      html += "<option value=>";
    } else if (text::same_text(item, selected)) {
      html += "<option value='" + shown + "' selected>" + shown;
    } else {
      html += "<option value='" + shown + "'>" + shown;
    }
  }
  return html + "</select>";
}

std::string category_select(const std::string& attributes, std::span<const std::string> items,
                            const std::string& selected) {
  std::string html = "<select name='tripcat' " + attributes + ">";
  for (const std::string& item : items) {
    const bool chosen = !item.empty() && text::same_text(item, selected);
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

std::string division_select(const std::string& attributes, std::span<const std::string> items,
                            const std::string& selected) {
  std::string html = "<select name='div' " + attributes + ">";
  for (const std::string& item : items) {
    const bool chosen = !item.empty() &&
                        text::same_text(text::trim_view(split_item(item).code), vb::Trim(selected));
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

CodeAndName split_item(std::string_view item) {
  const std::size_t comma = item.find(',');
  // An item without a comma is all code; its name is the item itself.
  if (comma == std::string_view::npos) return {item, text::trim_view(item)};
  return {item.substr(0, comma), text::trim_view(item.substr(comma + 1))};
}

std::string code_select(const CodeSelectForm& form, const std::string& attributes,
                        std::span<const std::string> items, const std::string& selected) {
  const std::string wanted = vb::Trim(selected);
  std::string html;
  html.reserve(64 + 64 * items.size());
  html.append("<select name='").append(form.name).append("' ").append(attributes).append(">");
  for (const std::string& item : items) {
    if (item.empty()) {
      html += form.named_empty_option ? "<option value= ></option>" : "<option></option>";
      continue;
    }
    const auto [code, name] = split_item(item);
    html.append("<option value=")
        .append(form.quote)
        .append(web::html_escape(code))
        .append(form.quote);
    if (text::same_text(text::trim_view(code), wanted)) {
      html += " selected>";
    } else {
      html.append(form.gap).append(">");
    }
    html.append(web::html_escape(text::utf8_prefix(name, form.name_length))).append("</option>");
  }
  html += "</select>";
  return html;
}

std::span<const std::string> SearchLists::grades() const {
  return request::session_items(context_, keys::kGrades, keys::kGradeCount);
}
std::span<const std::string> SearchLists::customers() const {
  return request::session_items(context_, keys::kCustomers, keys::kCustomerCount);
}
std::span<const std::string> SearchLists::destinations() const {
  return request::session_items(context_, keys::kDestinations, keys::kDestinationCount);
}
std::span<const std::string> SearchLists::categories() const {
  return request::session_items(context_, keys::kTripCategories, keys::kTripCategoryCount);
}
std::span<const std::string> SearchLists::divisions() const {
  return request::session_items(context_, keys::kDivisions, keys::kDivisionCount);
}

bool shared_search_tag(const SearchState& search, const SearchLists& lists,
                       const std::string& tag_name, std::string& tag_contents) {
  auto is = [&tag_name](const char* name) { return text::same_text(tag_name, name); };
  const std::string& attributes = tag_contents;
  if (is("WC@Grade")) {
    tag_contents = plain_select("grade", attributes, lists.grades(), search.strSearchGrade);
  } else if (is("WC@CATEGORY")) {
    tag_contents = category_select(attributes, lists.categories(), search.strSearchTripCat);
  } else if (is("WC@DIV")) {
    tag_contents = division_select(attributes, lists.divisions(), search.strSearchDiv);
  } else if (is("WC@RESULTS")) {
    tag_contents = search.strSearchResults;
  } else if (is("WC@DEPFROM")) {
    tag_contents = web::html_escape(search.strSearchDepFrom);
  } else if (is("WC@DEPTO")) {
    tag_contents = web::html_escape(search.strSearchDepTo);
  } else if (is("WC@NUM")) {
    tag_contents = std::to_string(search.intSearchCount);
  } else {
    return false;
  }
  return true;
}

std::int16_t search_count(long records) {
  return static_cast<std::int16_t>(
      std::clamp<long>(records, 0, std::numeric_limits<std::int16_t>::max()));
}

std::string cell_text(const vb::Variant& value) {
  return web::html_escape(data::NullToStr(value));
}

std::string text_or_nbsp(const vb::Variant& value) {
  const std::string text = data::NullToStr(value);
  return vb::Trim(text).empty() ? "&nbsp;" : web::html_escape(text);
}

std::string time_text(const vb::Variant& value) {
  const std::string text = data::NullToStr(value);
  if (vb::Trim(text).empty()) return "&nbsp;";
  // A text too short to hold seconds and a meridian is shown whole.
  if (text.size() < 6) return web::html_escape(text) + "&nbsp;";
  return web::html_escape(text.substr(0, text.size() - 6)) + "&nbsp;" +
         web::html_escape(text.substr(text.size() - 2));
}

bool is_yes(const vb::Variant& value) {
  if (value.is_bool()) return value.get<bool>();
  if (value.is_number()) return vb::CDbl(value) != 0;
  if (value.is_string()) return text::same_text(vb::Trim(value.get<std::string>()), "True");
  return false;
}

std::string checkbox(const vb::Variant& value) {
  return is_yes(value) ? "<input type=checkbox checked disabled>"
                       : "<input type=checkbox disabled>";
}

bool blank_or_zero(const std::string& text) {
  const std::string trimmed = vb::Trim(text);
  if (trimmed.empty()) return true;
  const auto number = vb::parse_number(trimmed);
  return number && *number == 0;
}

std::string bordered_heading(std::string_view opening, std::string_view heading,
                             std::string_view before_close) {
  std::string html(opening);
  html += kRightBorder;
  html += before_close;
  html += "><font size='-2'>";
  html += heading;
  return html + "</font></td>";
}

std::string bordered_headings(std::initializer_list<Heading> headings,
                              std::string_view before_close) {
  std::string html;
  for (const Heading& heading : headings) {
    html += bordered_heading(heading.opening, heading.text, before_close);
  }
  return html;
}

std::string small_cell(const std::string& shown) {
  std::string html;
  add_small_cell(html, shown);
  return html;
}

void add_small_cell(std::string& html, std::string_view shown) {
  html.append("<td><font size='-2'>").append(shown).append("</font></td>");
}

std::string broken_escaped(const std::string& text) {
  std::string copy = text;
  const std::string broken = request::BreakString(copy, 30);
  if (broken.size() == text.size()) return web::html_escape(text);
  // The break only inserts its marker at the 30th character; the pieces around it are escaped,
  // so that a typed-in name can never bring markup of its own.
  const std::size_t cut = text::utf8_offset(text, 30);
  const std::string marker = broken.substr(cut, broken.size() - text.size());
  return web::html_escape(text.substr(0, cut)) + marker + web::html_escape(text.substr(cut));
}

CustomerNames::CustomerNames(db::Connection& trip_db, const char* sql) {
  rs_.open(sql, trip_db);
  for (long row = 0; !rs_.eof(); rs_.move_next(), ++row) {
    const vb::Variant& code = rs_.field("CUSTOMER");
    if (code.is_null() || code.is_empty()) continue;
    first_rows_.try_emplace(code.is_string() ? code.get<std::string>() : vb::CStr(code), row);
  }
  if (rs_.record_count() > 0) rs_.move_first();
}

CustomerNames::Names CustomerNames::lookup(const vb::Variant& customer_value) {
  const std::string customer = vb::Trim(data::NullToStr(customer_value));
  // An empty customer table has no row to stand on.
  if (customer.empty() || rs_.record_count() == 0) return {"NOT FOUND", " "};
  const bool standing = !rs_.eof() && !rs_.bof() &&
                        text::same_text(vb::Trim(data::NullToStr(rs_.field("CUSTOMER"))), customer);
  if (!standing) {
    rs_.move_first();
    const auto found = first_rows_.find(customer);
    if (found == first_rows_.end()) return {"NOT FOUND", " "};
    rs_.move(found->second);
  }
  return {data::NullToStr(rs_.field("custname")), data::NullToStr(rs_.field("custdiv"))};
}

std::string destination_text(const frame::RequestContext& context, const db::Recordset& row) {
  const vb::Variant& number = row.field("Destination");
  // No stored number (Null or not numeric) is a typed-in destination, as 0 is.
  if (number.is_null() || !vb::IsNumeric(number) || vb::CDbl(number) == 0) {
    return data::NullToStr(row.field("trdestdesc"));
  }
  const std::string code = vb::CStr(number);
  for (const std::string& item :
       request::session_items(context, keys::kDestinations, keys::kDestinationCount)) {
    const std::size_t comma = item.find(',');
    if (comma != std::string::npos && std::string_view(item).substr(0, comma) == code) {
      return item.substr(comma + 1);
    }
  }
  return "NOT FOUND";
}

std::string request_link(const frame::RequestContext& context, const db::Recordset& row) {
  const std::string number = vb::Trim(data::NullToStr(row.field("TRIPNUM")));
  return "<a href=\"" + context.url_for("RequestDetail", number) + "\">" +
         web::html_escape(data::NullToStr(row.field("TRIPNUM"))) + "</a>";
}

}  // namespace reports
