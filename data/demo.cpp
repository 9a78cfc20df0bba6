// Creates the demo district: the databases filled from the catalog and the generated activity,
// the settings files that point at them, and the printed instructions.
//
// The rows are written with plain INSERT statements on the native path: every value is our own,
// yet texts still go through quoting (a contact is called O'Brien).
#include "data/demo.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "data/demo_activity.h"
#include "data/demo_catalog.h"
#include "data/schema.h"
#include "platform/db/db.h"
#include "platform/sys/clock.h"
#include "platform/vb/conversions.h"

namespace data {
namespace {

namespace fs = std::filesystem;
using demo::Row;

constexpr const char* kIniFile = "trip.ini";
constexpr const char* kRegistryFile = "jaunter.reg";
constexpr const char* kRegistryKey =
    "HKEY_LOCAL_MACHINE\\Software\\Quillmark Software, Inc.\\Carline Transport Manager - Field "
    "Trip";

template <class T>
std::string shortest(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// A value as a SQLite literal in the stored forms: yes/no -1/0, dates as serials.
std::string literal(const vb::Variant& value) {
  if (value.is_null() || value.is_empty()) return "NULL";
  if (const auto* v = value.get_if<bool>()) return *v ? "-1" : "0";
  if (const auto* v = value.get_if<std::int16_t>()) return std::to_string(*v);
  if (const auto* v = value.get_if<std::int32_t>()) return std::to_string(*v);
  if (const auto* v = value.get_if<float>()) return shortest(*v);
  if (const auto* v = value.get_if<double>()) return shortest(*v);
  if (const auto* v = value.get_if<vb::Currency>()) return shortest(v->to_double());
  if (const auto* v = value.get_if<vb::DateTime>()) return shortest(v->serial);
  if (const auto* v = value.get_if<std::string>()) return quoted(*v);
  throw std::logic_error("a demo value has no column form");
}

void insert(db::Connection& connection, const Row& row) {
  std::string columns;
  std::string values;
  for (const auto& [column, value] : row.values) {
    if (!columns.empty()) {
      columns += ", ";
      values += ", ";
    }
    columns += "\"" + column + "\"";
    values += literal(value);
  }
  connection.execute_native("INSERT INTO \"" + row.table + "\" (" + columns + ") VALUES (" +
                            values + ")");
}

void insert_all(const fs::path& path, const std::vector<Row>& rows) {
  db::Connection connection;
  connection.open(path.string());
  connection.execute_native("BEGIN");
  for (const Row& row : rows) insert(connection, row);
  connection.execute_native("COMMIT");
  connection.close();
}

// ---- The catalog as rows --------------------------------------------------------------------

Row code_row(const char* table, const char* code_column, const char* description_column,
             const demo::Code& code, bool with_active = true) {
  Row row{table, {}};
  row.set(code_column, code.code);
  if (description_column) row.set(description_column, code.description);
  if (with_active) row.set("ACTIVE", code.active);
  return row;
}

std::vector<Row> district_rows() {
  std::vector<Row> rows;
  rows.push_back(
      Row{"District", {}}
          .set("DISTNAME", demo::kDistrictName)
          .set("DISTADDR1", "1200 Commerce Avenue")
          .set("DISTCITY", "Riverbend")
          .set("DISTSTATE", "OR")
          .set("DISTZIP", "97301")
          .set("DISTPHONE", "(555) 201-4400")
          .set("TRANSTITLE", "Transportation Department")
          .set("TOTAL_TRIPS_LIMIT_MESSAGE",
               "Transportation is fully booked on that day. Please call (555) 201-4410 before "
               "planning a trip for it.")
          .set("TRIPREQ_COMMENT",
               "Field trip requests need at least 3 days notice. Questions? Call Transportation "
               "at (555) 201-4410.")
          .set("DEFAULTVTYPE", demo::kDefaultVehicleType)
          .set("DEFAULT_CALCNUMDRIVER", true)
          .set("autofill_requests", true)
          .set("AUTOFILL", true)
          .set("VIEW_OTHER_SCHOOLS", false)
          .set("FUND_DD", true)
          .set("USECUSTFUND", true)
          .set("DEPDT_LEADTIME_HARDWARN", false)
          .set("TOTAL_TRIPS_HARDWARN", false)
          .set("DEPDT_LEADTIME", std::int32_t{demo::kLeadTimeDays})
          .set("TOTAL_TRIPS_LIMIT", std::int32_t{demo::kDailyTripLimit}));

  const char* const required[] = {"CUSTOMER_REQUIRED", "CONTACT_REQ", "DESTINATION_REQ",
                                  "DEPDATE_REQ",       "DEPTIME_REQ", "RETTIME_REQ",
                                  "NUMSTUDENTS_REQ",   "PURPOSE_REQ"};
  const char* const optional[] = {"REQUEST_DATE_REQUIRED",
                                  "FUND_REQUIRED",
                                  "RETDATE_REQ",
                                  "ARRIVETIME_REQ",
                                  "LEAVETIME_REQ",
                                  "ESTMILE_REQ",
                                  "ESTTIME_REQ",
                                  "NUMADULTS_REQ",
                                  "NUMWHEEL_REQ",
                                  "DESTSPEC_REQ",
                                  "CUSTSPEC_REQ",
                                  "TRIPCOM_REQ",
                                  "PO_REQ",
                                  "TRIPCAT_REQ",
                                  "INTTRIPNUM_REQ",
                                  "GRADE_REQ",
                                  "INVOICE_COMMENT_REQ"};
  Row flags{"TRIPREQ_REQUIRED", {}};
  for (const char* column : required) flags.set(column, true);
  for (const char* column : optional) flags.set(column, false);
  rows.push_back(std::move(flags));

  rows.push_back(Row{"EMAIL_OPTIONS", {}}
                     .set("REQ_JAUNTER_CHANGE", true)
                     .set("ADM_JAUNTER_CHANGE", false)
                     .set("APP_JAUNTER_CHANGE", true));
  return rows;
}

// The sample district's code tables, one block per table: a list to read, not logic to split.
std::vector<Row> catalog_rows() {
  std::vector<Row> rows = district_rows();
  for (const demo::Customer& c : demo::customers()) {
    rows.push_back(
        Row{"CUSTOMER", {}}
            .set("CUSTOMER", c.code)
            .set("CUSTNAME", c.name)
            .set("CHAINID", *c.chain ? vb::Variant(c.chain) : vb::Variant::null())
            .set("CUSTDIV", c.division)
            .set("ACTIVE", c.active)
            .set("CUSTBILLRATE", std::int32_t{c.billrate})
            .set("CUSTSPEC", *c.instructions ? vb::Variant(c.instructions) : vb::Variant::null())
            .set("DEFAULTCAP", c.capacity)
            .set("cust_default_format", c.invoice_format)
            .set("REQUESTOR_EMAIL", demo::requester_email(c)));
  }
  for (const demo::CustomerLink& link : demo::customer_funds()) {
    rows.push_back(Row{"CUSTOMER_FUND", {}}.set("CUSTOMER", link.customer).set("FUND", link.code));
  }
  for (const demo::CustomerLink& link : demo::customer_trip_categories()) {
    rows.push_back(Row{"CUSTOMER_TRIPCAT", {}}
                       .set("CUSTOMER", link.customer)
                       .set("TRIPCAT", link.code)
                       .set("CHAINID", link.chain));
  }
  for (const demo::Destination& d : demo::destinations()) {
    rows.push_back(
        Row{"DESTINATION", {}}
            .set("DESTINATION", std::int32_t{d.number})
            .set("DESTDESC", d.desc)
            .set("DESTADD1", d.add1)
            .set("DESTADD2", d.add2)
            .set("DESTSPEC", *d.instructions ? vb::Variant(d.instructions) : vb::Variant::null())
            .set("MILES", d.miles)
            .set("ACTIVE", d.active));
  }
  for (const auto& fund : demo::funds()) rows.push_back(code_row("FUND", "FUND", "FUNDDESC", fund));
  for (const auto& code : demo::trip_categories()) {
    rows.push_back(code_row("TRIPCAT", "TRIPCAT", "DESCRIPTION", code));
  }
  for (const auto& code : demo::grades()) {
    rows.push_back(code_row("GRADE", "GRADE", "DESCRIPTION", code));
  }
  for (const auto& code : demo::divisions()) {
    rows.push_back(code_row("Division", "Division", "DESCRIPTION", code));
  }
  for (const auto& code : demo::request_statuses()) {
    rows.push_back(code_row("TRIPREQSTATUS", "STATUS", "DESCRIPTION", code));
  }
  for (const auto& code : demo::destination_categories()) {
    rows.push_back(code_row("DESTCAT", "DESTCAT", nullptr, code));
  }
  for (const auto& code : demo::schedules()) {
    rows.push_back(code_row("SCHEDMAST", "SCHEDULE", "SCHEDDESC", code, false));
  }
  for (const auto& code : demo::vehicle_types()) {
    rows.push_back(code_row("VEHTYPE", "VEHTYPE", "VTYPDESC", code));
  }
  for (const auto& code : demo::ticket_templates()) {
    rows.push_back(code_row("TRIPTICKET_TEMPLATE", "TICKET_ID", "TEMPLATE_DESC", code));
  }
  for (const demo::BillRate& rate : demo::bill_rates()) {
    Row row{"BILLRATE", {}};
    row.set("BILLRATE", std::int32_t{rate.number});
    for (int k = 0; k < 5; ++k) {
      const bool unknown = k == 2 && rate.amount3_unknown;
      row.set("AMOUNT" + std::to_string(k + 1),
              unknown ? vb::Variant::null() : vb::Variant(rate.amounts[k]));
    }
    for (int k = 0; k < 5; ++k) row.set("AMOUNTTXT" + std::to_string(k + 1), rate.labels[k]);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<Row> security_rows() {
  std::vector<Row> rows;
  for (const demo::User& user : demo::users()) {
    vb::Variant customer = user.customer;
    if (user.customer.empty() && user.null_customer) customer = vb::Variant::null();
    rows.push_back(Row{"CLSCU", {}}
                       .set("CLSC1", user.id)
                       .set("CLSC2", user.password)
                       .set("ROLE", user.role)
                       .set("CUSTOMER", customer)
                       .set("EMAIL", user.email)
                       .set("SCJRFOVD", user.may_override_fund)
                       .set("SCJRDDFT", user.may_override_lead_time));
  }
  for (const demo::Chain& chain : demo::chains()) {
    Row row{"CLSCC", {}};
    row.set("CHAINID", chain.id).set("ACTIVE", true);
    // Unused levels hold empty texts: the next-approver lookup reads them as "no one".
    for (int k = 0; k < 8; ++k) {
      row.set("LEVEL" + std::to_string(k + 1) + "APPROVER", k < 3 ? chain.approvers[k] : "");
    }
    for (int k = 0; k < 8; ++k) {
      row.set("LEVEL" + std::to_string(k + 1) + "STATUS", k < 3 ? chain.statuses[k] : "");
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// ---- Files ----------------------------------------------------------------------------------

bool occupied(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (status.type() == fs::file_type::not_found) return false;
  if (ec) throw std::runtime_error("cannot check '" + path.string() + "': " + ec.message());
  return status.type() != fs::file_type::not_found;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes a new file; never replaces one that appeared since the checks.
void write_new_file(const fs::path& path, const std::string& text) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wx"));
  if (!file) throw std::runtime_error("cannot create '" + path.string() + "'");
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  if (std::fclose(file.release()) != 0 || !written) {
    std::error_code ignored;
    fs::remove(path, ignored);
    throw std::runtime_error("cannot write '" + path.string() + "'");
  }
}

std::string ini_text(const std::string& root) {
  return "; Carline settings of the Jaunter demo district.\n"
         "[Carline Options]\n"
         "CarlinePath=" +
         root +
         "\n"
         "SessionTimeOut=20\n"
         "DOTNETInstalled=False\n"
         "CalendarUrl=https://calendar.example.org/transportation\n"
         "InquiryUrl=https://inquiry.example.org/trips\n"
         "SmtpServer=127.0.0.1\n"
         "SmtpPort=2525\n"
         "SmtpAuthentication=False\n"
         "EmailFromAddress=transportation@example.org\n"
         "EmailFromName=Riverbend Transportation\n";
}

std::string registry_string(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string registry_text(const std::string& root) {
  return std::string("Windows Registry Editor Version 5.00\n\n[") + kRegistryKey + "]\n" +
         "\"INIPath\"=" + registry_string(root) + "\n";
}

// Removes what a failed demo wrote, so that a retry starts clean.
class Written {
 public:
  explicit Written(fs::path root) : root_(std::move(root)) {}
  Written(const Written&) = delete;
  Written& operator=(const Written&) = delete;
  ~Written() {
    if (kept_) return;
    std::error_code ignored;
    for (const char* database : {kTripDatabase, kSecurityDatabase, kRequestDatabase}) {
      for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(root_ / (std::string(database) + suffix), ignored);
      }
    }
    for (const fs::path& file : files_) fs::remove(file, ignored);
  }
  void add_file(const fs::path& file) { files_.push_back(file); }
  void keep() { kept_ = true; }

 private:
  fs::path root_;
  std::vector<fs::path> files_;
  bool kept_ = false;
};

// The path as one shell word.
std::string shell_word(const std::string& text) {
  const bool plain = text.find_first_not_of(
                         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._-+=") ==
                     std::string::npos;
  if (plain) return text;
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

void print_instructions(std::ostream& out, const std::string& root,
                        const demo::Activity& activity) {
  out << "Created the demo district \"" << demo::kDistrictName << "\" in " << root << "\n"
      << "  (trip.db, qsclsc1.db, Tripschl.db, trip.ini and jaunter.reg)\n\n"
      << "Start the server:\n"
      << "  JAUNTER_REGISTRY=" << shell_word(root + "/" + kRegistryFile)
      << " jaunter serve --port 8080\n"
      << "then open http://127.0.0.1:8080/Jaunter.ASP\n\n"
      << "Sample sign-ins (demo passwords only, never for a real district):\n";
  const auto line = [&out](const std::string& user, const std::string& password,
                           const std::string& role, const std::string& can_do) {
    out << "  " << std::left << std::setw(19) << user << std::setw(11) << password << std::setw(11)
        << role << can_do << "\n";
  };
  line("User", "Password", "Role", "What they can do");
  for (const demo::User& user : demo::users()) {
    const bool shown = user.role != "PRINCIPAL" && user.role != "REQUESTER";
    const bool example = user.id == "principal.adams" || user.id == "principal.central" ||
                         user.id == "adams" || user.id == "central" || user.id == "athl" ||
                         user.id == "commed";
    if (shown || example) line(user.id, user.password, user.role, user.can_do);
  }
  out << "  Every school and department has a requester (its code in lower case, password\n"
      << "  \"request\"); every school has a principal (principal.<code>, password "
         "\"principal\").\n"
      << "\nCalendar: " << vb::date_text(activity.warning_day) << " carries a warning, "
      << vb::date_text(activity.closed_day) << " is closed to trips, and "
      << vb::date_text(activity.full_day) << " already has " << demo::kDailyTripLimit
      << " trips (the daily limit).\n"
      << "Notification mail goes to the SMTP server at 127.0.0.1:2525.\n";
}

}  // namespace

void create_demo(const std::string& dir, std::ostream& out) {
  const sys::SystemClock clock;
  create_demo(dir, out, clock);
}

void create_demo(const std::string& dir, std::ostream& out, const sys::Clock& clock) {
  std::error_code ec;
  if (!fs::is_directory(fs::path(dir), ec)) {
    throw std::runtime_error("Cannot create the demo district: the directory '" + dir +
                             "' does not exist.");
  }
  const fs::path root = fs::canonical(fs::path(dir), ec);
  if (ec) {
    throw std::runtime_error("Cannot create the demo district: cannot resolve '" + dir +
                             "': " + ec.message() + ".");
  }
  const std::string root_text = root.string();
  // The directory goes into one-line settings; a line break would split them.
  if (root_text.find_first_of("\r\n") != std::string::npos) {
    throw std::runtime_error("Cannot create the demo district: the directory name '" + dir +
                             "' contains a line break.");
  }
  for (const char* file : {kIniFile, kRegistryFile}) {
    bool exists = false;
    try {
      exists = occupied(root / file);
    } catch (const std::exception& e) {
      throw std::runtime_error(std::string("Cannot create the demo district: ") + e.what() + ".");
    }
    if (exists) {
      throw std::runtime_error("Cannot create the demo district: '" + (root / file).string() +
                               "' already exists; nothing was changed.");
    }
  }

  create_databases(root_text);
  Written written(root);
  demo::Activity activity;
  try {
    activity = demo::make_activity(clock.now());
    std::vector<Row> trip_rows = catalog_rows();
    trip_rows.insert(trip_rows.end(), activity.trip_rows.begin(), activity.trip_rows.end());
    insert_all(root / kTripDatabase, trip_rows);
    insert_all(root / kSecurityDatabase, security_rows());
    insert_all(root / kRequestDatabase, activity.request_rows);

    write_new_file(root / kIniFile, ini_text(root_text));
    written.add_file(root / kIniFile);
    write_new_file(root / kRegistryFile, registry_text(root_text));
    written.add_file(root / kRegistryFile);
  } catch (const std::exception& e) {
    throw std::runtime_error("Cannot create the demo district in '" + root_text + "': " + e.what());
  }
  written.keep();
  print_instructions(out, root_text, activity);
}

}  // namespace data
