// The HTML builders of the request form: fund and destination drop-downs, the assignment
// selects, and the date and time selectors.
#include <algorithm>

#include "data/null_conversions.h"
#include "frame/Jaunter.h"
#include "platform/vb/conversions.h"
#include "request/no_date.h"

namespace {

using web::html_escape;

const std::string& list_item(const vb::StringArray& items, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
    throw vb::err::subscript_out_of_range();
  }
  return items[static_cast<std::size_t>(index)];
}

// The code of a list item: the text before its first ",", or "" when it has none.
std::string code_before_comma(const std::string& item) {
  const std::size_t comma = item.find(',');
  return comma == std::string::npos ? std::string() : item.substr(0, comma);
}

vb::StringArray session_list(const vb::Variant& value) {
  if (const auto* items = value.get_if<vb::StringArray>()) return *items;
  return {};
}

int count_of(const vb::Variant& value) {
  if (value.is_empty()) return 0;
  return vb::CInt(value);
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Assignment selects: value and text are the whole item, unquoted, without closing option tags.
std::string assignment_select(const std::string& open, const vb::StringArray& items, int count,
                              const std::string& selection, bool key_is_code) {
  const std::string wanted = vb::Trim(selection);
  std::string html = open;
  for (int i = 0; i <= count; ++i) {
    const std::string& item = list_item(items, i);
    const std::string key = key_is_code ? code_before_comma(item) : item;
    const std::string text = html_escape(item);
    html += text::same_text(key, wanted) ? "<option value=" + text + " selected>" + text
                                       : "<option value=" + text + ">" + text;
  }
  return html + "</select>";
}

}  // namespace

std::string Jaunter::BuildFundDD(const std::string& Attributes, const std::string& Fund) {
  std::string html;
  procedure({"BuildFundDD", "Jaunter", true, true, true}, [&] {
    std::string result = "<select name='fund' width='40' " + Attributes + ">";
    vb::StringTable session_funds;
    const vb::StringTable* funds = nullptr;
    std::size_t last = 0;
    if (text::same_text(application_text("DISTRICT.USECUSTFUND"), "True")) {
      if (!lists.funds_filled) return;  // a list never filled gives no select at all
      funds = &lists.funds;
      last = lists.funds.rows.empty() ? 0 : lists.funds.rows.size() - 1;
    } else {
      const vb::Variant stored = ctx_.session("Funds");
      if (const auto* table = stored.get_if<vb::StringTable>()) session_funds = *table;
      funds = &session_funds;
      last = static_cast<std::size_t>(std::max(0, count_of(ctx_.session("numFunds"))));
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

std::string Jaunter::BuildDestinationDD(const std::string& Attributes,
                                        const std::string& Destination, bool DestinationIsNew) {
  const vb::StringArray items = session_list(ctx_.session("Destinations"));
  const int count = count_of(ctx_.session("numDestinations"));
  struct Option {
    std::string code, description;
  };
  std::vector<Option> options;
  for (int i = 0; i <= count; ++i) {
    const std::string& item = list_item(items, i);
    const std::size_t comma = item.find(',');
    if (comma == std::string::npos) {
      options.push_back({});
    } else {
      options.push_back({item.substr(0, comma), vb::Trim(item.substr(comma + 1)).substr(0, 30)});
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

std::string Jaunter::BuildSchedDD(const std::string& selSched, std::int16_t schedNum) {
  return assignment_select("<select name='sched" + std::to_string(schedNum) + "'>",
                           lists.schedules.items, lists.schedules.count, selSched, true);
}

std::string Jaunter::BuildVehTypeDD(const std::string& selVehType, const std::string& strPrimary) {
  return assignment_select("<select name='VEHTYPE" + html_escape(strPrimary) + "'>",
                           lists.vehtypes.items, lists.vehtypes.count, selVehType, true);
}

std::string Jaunter::BuildCapacityDD(const std::string& selCapacity) {
  std::string html;
  procedure({"BuildCapacityDD"}, [&] {
    html = assignment_select("<select name='Capacity'>", {"High", "Medium", "Low"}, 2, selCapacity,
                             false);
  });
  return html;
}

std::string Jaunter::BuildTripTikDD(const std::string& selTripTik) {
  return assignment_select("<select name='TripTik'>", lists.tickettemplates.items,
                           lists.tickettemplates.count, selTripTik, false);
}

std::string Jaunter::BuildAssignmentSection() {
  std::string html;
  procedure({"BuildAssignmentSection"}, [&] {
    PopulateSchedDD();
    PopulateVehTypeDD();
    PopulateTikTempDD();
    if (!form.rsTripReq || !form.rsTripReq->is_open()) throw vb::err::object_not_set();
    const db::Recordset& row = *form.rsTripReq;
    auto text = [&](const char* column) { return vb::Trim(data::NullToStr(row.field(column))); };
    auto checked = [&](const char* column) {
      const vb::Variant& value = row.field(column);
      return value.is_bool() && value.get<bool>() ? " checked" : "";
    };
    std::string section =
        "<table class='assignment'><tr><th colspan='2'>Assignment</th></tr>"
        "<tr><th>Vehicles/Capacity</th><th>Schedules</th></tr><tr><td>";
    section +=
        "<label>Calc # Primary Vehicles: <input type='checkbox' name='CALCNUMDRIVERS' "
        "value='ON'" +
        std::string(checked("CALCNUMDRIVERS")) + "></label><br>";
    section += "<label># Primary Veh: <input type='text' name='NUMTYPE' size='4' value='" +
               html_escape(text("NUMTYPE")) + "'></label> " + BuildVehTypeDD(text("Type"), "P") +
               "<br>";
    section += "<label># Addit. Veh <input type='text' name='NUMADDL' size='4' value='" +
               html_escape(text("NUMADDL")) + "'></label> " +
               BuildVehTypeDD(text("ADDLTYPE"), "A") + "<br>";
    section += "Capacity: " + BuildCapacityDD(text("CAPACITY")) + "<br>";
    section += "Trip Ticket: " + BuildTripTikDD(text("TICKET_FORMAT")) + "</td><td>";
    const char* schedule_columns[] = {"SCHEDULE", "Schedule2", "Schedule3", "Schedule4",
                                      "Schedule5"};
    for (std::int16_t n = 1; n <= 5; ++n) {
      section += "Schedule #" + std::to_string(n) + ": " +
                 BuildSchedDD(text(schedule_columns[n - 1]), n) + "<br>";
    }
    section += "<label>Allow Auto Assign: <input type='checkbox' name='AUTOASSIGN' value='ON'" +
               std::string(checked("AUTOASSIGN")) + "></label></td></tr></table>";
    html = section;
  });
  return html;
}

// ---- Date and time selectors --------------------------------------------------------------

std::string Jaunter::BuildMonthDD(vb::DateTime date, const std::string& prefix,
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

std::string Jaunter::BuildDayDD(vb::DateTime date, const std::string& prefix,
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

std::string Jaunter::BuildYearDD(vb::DateTime date, const std::string& prefix,
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

std::string Jaunter::BuildTimeDD(vb::DateTime time, const std::string& prefix,
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
