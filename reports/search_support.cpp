// Pieces the searches and the reports share.
#include "reports/search_support.h"

#include <algorithm>
#include <limits>

#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/db/jet.h"
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
                         const vb::StringArray& items, const std::string& selected) {
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

std::string category_select(const std::string& attributes, const vb::StringArray& items,
                            const std::string& selected) {
  std::string html = "<select name='tripcat' " + attributes + ">";
  for (const std::string& item : items) {
    const bool chosen = !item.empty() && text::same_text(item, selected);
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

std::string division_select(const std::string& attributes, const vb::StringArray& items,
                            const std::string& selected) {
  std::string html = "<select name='div' " + attributes + ">";
  for (const std::string& item : items) {
    const bool chosen =
        !item.empty() && text::same_text(vb::Trim(split_item(item).code), vb::Trim(selected));
    html += (chosen ? "<option selected>" : "<option>") + web::html_escape(item) + "</option>";
  }
  return html + "</select>";
}

CodeAndName split_item(const std::string& item) {
  const std::size_t comma = item.find(',');
  // An item without a comma is all code; its name is the item itself.
  if (comma == std::string::npos) return {item, vb::Trim(item)};
  return {item.substr(0, comma), vb::Trim(item.substr(comma + 1))};
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

std::string checkbox(const vb::Variant& value) {
  bool checked = false;
  if (value.is_bool()) {
    checked = value.get<bool>();
  } else if (value.is_number()) {
    checked = vb::CDbl(value) != 0;
  } else if (value.is_string()) {
    checked = text::same_text(vb::Trim(value.get<std::string>()), "True");
  }
  return checked ? "<input type=checkbox checked disabled>" : "<input type=checkbox disabled>";
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

CustomerNames::Names CustomerNames::lookup(const vb::Variant& customer_value) {
  const std::string customer = vb::Trim(data::NullToStr(customer_value));
  // An empty customer table has no row to stand on.
  if (customer.empty() || rs_.record_count() == 0) return {"NOT FOUND", " "};
  const bool standing = !rs_.eof() && !rs_.bof() &&
                        text::same_text(vb::Trim(data::NullToStr(rs_.field("CUSTOMER"))), customer);
  if (!standing) {
    rs_.move_first();
    // Quoted, so that a code with an apostrophe is found rather than failing the page.
    rs_.find("CUSTOMER = " + db::quote_text(customer));
    if (rs_.eof()) {
      rs_.move_first();
      return {"NOT FOUND", " "};
    }
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
       request::session_list(context, keys::kDestinations, keys::kDestinationCount)) {
    const std::size_t comma = item.find(',');
    if (comma != std::string::npos && item.substr(0, comma) == code) {
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
