// The fixed part of the demo district: its schools and departments, destinations, funds, codes,
// approval chains and users. The dated part (trips, requests, calendar) is in demo_activity.h.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace data::demo {

enum class Kind { Elementary, Middle, High, Special, Department, Outside };

struct Customer {
  const char* code;
  const char* name;
  Kind kind;
  const char* division;
  const char* chain;  // "" for a customer whose requests need no approval
  int billrate;
  const char* capacity;
  const char* invoice_format;
  bool active;
  const char* instructions;  // standing instructions; "" for none
};

// What a destination suits.
enum class Use { Academic, Sports, Music, College, Outdoor, Service, Community };

struct Destination {
  int number;
  const char* desc;
  const char* add1;
  const char* add2;
  const char* instructions;
  float miles;  // one way
  Use use;
  bool active;
  const char* purpose = nullptr;  // what a class goes there for; nullptr: the category says
};

// A destination typed in on a request, never stored in DESTINATION.
struct TypedDestination {
  const char* desc;
  const char* add1;
  const char* add2;
  const char* city;
  const char* state;
  const char* zip;
  const char* category;
  int miles;
  const char* purpose;
};

struct Code {
  const char* code;
  const char* description;
  bool active;
};

struct CustomerLink {
  const char* customer;
  const char* code;   // a fund, or a trip category
  const char* chain;  // for trip categories
};

struct Chain {
  const char* id;
  const char* approvers[3];  // "" past the last level
  const char* statuses[3];
};

struct BillRate {
  int number;
  float amounts[5];
  const char* labels[5];
  bool amount3_unknown;  // AMOUNT3 left Null, as an old rate card has it
};

struct User {
  std::string id;
  std::string password;
  std::string role;
  std::string customer;  // "" for a user who serves every customer
  bool null_customer;    // store the empty customer as Null rather than ""
  std::string email;
  bool may_override_fund;
  bool may_override_lead_time;
  std::string can_do;  // for the printed sign-in list
};

inline constexpr const char* kDistrictName = "Riverbend Unified School District";
inline constexpr const char* kDefaultVehicleType = "BUS72";
inline constexpr int kLeadTimeDays = 3;
inline constexpr int kDailyTripLimit = 12;

std::span<const Customer> customers();
const Customer& customer(const std::string& code);
std::span<const Destination> destinations();
std::span<const TypedDestination> typed_destinations();
std::span<const Code> funds();
std::span<const CustomerLink> customer_funds();
std::span<const CustomerLink> customer_trip_categories();
std::span<const Code> trip_categories();
std::span<const Code> grades();
std::span<const Code> divisions();
std::span<const Code> request_statuses();
std::span<const Code> destination_categories();
std::span<const Code> schedules();
std::span<const Code> vehicle_types();
std::span<const Code> ticket_templates();
std::span<const Chain> chains();
std::span<const BillRate> bill_rates();
const BillRate& bill_rate(int number);

// Users of every role: a requester for each customer, a principal for each school, and the
// district's approvers. Passwords are for the demo only.
const std::vector<User>& users();
// The requester of a customer (its user id).
std::string requester_id(const Customer& customer);
std::string requester_email(const Customer& customer);

// The chain a request of this customer and trip category goes through ("" for none), as the
// request form chooses it: the customer's chain for the category, else the customer's own.
std::string chain_for(const Customer& customer, const std::string& trip_category);

// Names and phrases the generated trips draw on.
std::span<const char* const> contacts();
std::span<const char* const> drivers();
std::span<const char* const> trip_comments();
std::span<const char* const> purposes(const std::string& trip_category);

}  // namespace data::demo
