// The HTML builders of the request form: fund and destination drop-downs, the assignment
// selects, and the date and time selectors.
#include <algorithm>

#include "data/null_conversions.h"
#include "frame/keys.h"
#include "platform/vb/conversions.h"
#include "request/field_builders.h"
#include "request/no_date.h"

namespace {

using web::html_escape;

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string request::FieldBuilders::BuildFundDD(const std::string& Attributes,
                                                const std::string& Fund) {
  std::string html;
  procedure({"BuildFundDD", "Jaunter", true, true, true}, [&] {
    std::string result = "<select name='fund' width='40' " + Attributes + ">";
    vb::StringTable session_funds;
    const vb::StringTable* funds = nullptr;
    std::size_t last = 0;
    if (text::same_text(application_text("DISTRICT.USECUSTFUND"), "True")) {
      if (!lists_.funds_filled) return;  // a list never filled gives no select at all
      funds = &lists_.funds;
      last = lists_.funds.rows.empty() ? 0 : lists_.funds.rows.size() - 1;
    } else {
      const vb::Variant stored = ctx_.session(keys::kFunds);
      if (const auto* table = stored.get_if<vb::StringTable>()) session_funds = *table;
      funds = &session_funds;
      last = static_cast<std::size_t>(session_count(ctx_, keys::kFundCount));
    }
    for (std::size_t row = 0; row <= last; ++row) {
      // A row the list does not hold reads as the blank first entry.
      const std::string code = row < funds->rows.size() ? funds->rows[row][0] : std::string();
      const std::string desc = row < funds->rows.size() ? funds->rows[row][1] : std::string();
      result += "<option value='" + html_escape(code) + "'";
      if (text::same_text(code, Fund)) result += " selected ";
      result += ">" + html_escape(desc) + "</option>";
    }
    html = result + "</select>";
  });
  return html;
}

std::string request::FieldBuilders::BuildDestinationDD(const std::string& Attributes,
                                                       const std::string& Destination,
                                                       bool DestinationIsNew) {
  struct Option {
    std::string code, description;
  };
  std::vector<Option> options;
  for (const std::string& item : session_list(ctx_, keys::kDestinations, keys::kDestinationCount)) {
    const std::size_t comma = item.find(',');
    if (comma == std::string::npos) {
      options.push_back({});
    } else {
      options.push_back(
          {item.substr(0, comma), text::utf8_prefix(vb::Trim(item.substr(comma + 1)), 30)});
    }
  }
  std::string html = "<select name='dest' width='30' " + Attributes + ">";
  if (Destination.empty() || DestinationIsNew) {
    if (!Destination.empty()) {
      html += "<option value='0' selected>" + html_escape(Destination) + "</option>";
    }
    for (const Option& option : options) {
      html += "<option value='" + html_escape(option.code) + "'>" +
              html_escape(option.description) + "</option>";
    }
  } else {
    for (const Option& option : options) {
      html += "<option value='" + html_escape(option.code) + "' ";
      if (text::same_text(option.code, Destination)) html += "selected";
      html += ">" + html_escape(option.description) + "</option>";
    }
  }
  return html + "</select>";
}

// ---- Date and time selectors --------------------------------------------------------------

std::string request::FieldBuilders::BuildMonthDD(vb::DateTime date, const std::string& prefix,
                                                 const std::string& attributes) {
  const bool unknown = request::is_no_date(date);
  std::string html = "<span  class=HOMEPAGEFONT><select class=HOMEPAGEFONT name='" + prefix +
                     "_month' size='1' style='height: 23; width: 52' " + attributes + ">";
  if (unknown) html += "<option selected value = ' '></option>";
  const int month = unknown ? 0 : vb::Month(date);
  for (int m = 1; m <= 12; ++m) {
    html += std::string(m == month ? "<option selected value = '" : "<option value = '") +
            kMonths[m - 1] + "'>" + kMonths[m - 1] + "</option>";
  }
  return html + "</select></span>";
}

std::string request::FieldBuilders::BuildDayDD(vb::DateTime date, const std::string& prefix,
                                               const std::string& attributes) {
  const bool unknown = request::is_no_date(date);
  std::string html = "<span  class=HOMEPAGEFONT><select class=HOMEPAGEFONT name='" + prefix +
                     "_date' size='1' style='height: 23; width: 44' " + attributes + ">";
  if (unknown) html += "<option selected value = ' '></option>";
  const int day = unknown ? 0 : vb::Day(date);
  for (int d = 1; d <= 31; ++d) {
    const std::string n = std::to_string(d);
    html += (d == day ? "<option selected value = '" : "<option value = '") + n + "'>" + n +
            "</option>";
  }
  return html + "</select></span>";
}

std::string request::FieldBuilders::BuildYearDD(vb::DateTime date, const std::string& prefix,
                                                const std::string& attributes) {
  const bool unknown = request::is_no_date(date);
  std::string html = "<span  class=HOMEPAGEFONT><select class=HOMEPAGEFONT name='" + prefix +
                     "_year' size='1' style='height: 23; width: 53' " + attributes + ">";
  if (unknown) html += "<option selected value = ' '></option>";
  const int year = unknown ? 0 : vb::Year(date);
  // The list would otherwise end in 2015 and make this year's trips impossible to enter.
  const int last = std::max(2015, vb::Year(ctx_.clock().now()) + 2);
  for (int y = unknown ? 2005 : 2002; y <= last; ++y) {
    const std::string n = std::to_string(y);
    html +=
        (y == year ? "<option selected value='" : "<option value='") + n + "'>" + n + "</option>";
  }
  return html + "</select></span>";
}

std::string request::FieldBuilders::BuildTimeDD(vb::DateTime time, const std::string& prefix,
                                                const std::string& attributes) {
  const bool unknown = request::is_no_date(time);
  int hour = vb::Hour(time);
  bool pm = false;
  if (hour > 12) {
    hour -= 12;
    pm = true;
  } else if (hour == 0) {
    hour = 12;
  } else if (hour == 12) {
    pm = true;
  }
  if (unknown) {
    const std::string upper = vb::UCase(prefix);
    pm = upper == "RET" || upper == "LEAVE";
  }
  const int minute = vb::Minute(time);
  std::string html = "<select name='" + prefix + "_HOUR' " + attributes + ">";
  if (unknown) html += "<option selected value = ' '></option>";
  for (int h = 1; h <= 12; ++h) {
    const std::string n = std::to_string(h);
    html += (!unknown && h == hour ? "<option selected value = '" : "<option value = '") + n +
            "'>" + n + "</option>";
  }
  html += "</select><select name='" + prefix + "_MIN' " + attributes + " >";
  if (unknown) html += "<option selected value = ' '></option>";
  for (int m = 0; m <= 55; m += 5) {
    const std::string value = std::to_string(m);
    const std::string text = (m < 10 ? "0" : "") + value;
    html += (!unknown && m == minute ? "<option selected value = '" : "<option value = '") + value +
            "'>" + text + "</option>";
  }
  html += "</select>";
  const std::string radio = "<INPUT TYPE=radio  name='" + prefix + "_AMPM'  VALUE=";
  html += radio + (pm ? "'AM' " : "'AM' CHECKED ") + attributes + ">am";
  html += radio + (pm ? "'PM' CHECKED " : "'PM' ") + attributes + ">pm";
  return html;
}
