// The page class: one instance serves one request. Its handlers and public operations keep the
// names the whole team uses; each is defined in the folder of its subsystem. Its fields are
// grouped by subsystem in small structs declared beside the code that owns them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frame/module_state.h"
#include "frame/procedure.h"
#include "frame/settings.h"
#include "lookup/lookup_state.h"
#include "platform/sys/services.h"
#include "platform/web/runtime.h"
#include "reports/search_state.h"
#include "request/builder_state.h"
#include "request/form_state.h"
#include "session/session_state.h"

class RequestFormTags;

class Jaunter : public web::PageObject {
 public:
  // `settings`, when given, keeps the district settings loaded before each request's handler.
  Jaunter(web::Context& context, const sys::Services& services,
          frame::SettingsWatcher* settings = nullptr);

  // The item table of the web class: the fifteen items, their templates and custom events.
  // `settings` may be shared with the server, which loads them as it starts.
  static web::WebClassDef web_class(const sys::Services& services,
                                    std::shared_ptr<frame::SettingsWatcher> settings = nullptr);

  // ---- web::PageObject -------------------------------------------------------------------
  void initialize() override;
  void start() override { WebClass_Start(); }
  void respond(const std::string& item) override;
  void custom_event(const std::string& item, const std::string& event) override;
  void user_event(const std::string& item, const std::string& event_name) override;
  void process_tag(const std::string& item, const std::string& tag_name, std::string& tag_contents,
                   bool& send_tags) override;

  // ---- Public operations -------------------------------------------------------------------
  void SetNewVars();
  void BuildRequestResultsTable(std::string& strSql);
  void BuildTripReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                               std::int16_t PageSize);
  void BuildTripReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                               std::int16_t PageSize);
  void BuildTripRequestReport1Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize);
  void BuildTripRequestReport2Results(const std::string& SQLQuery, std::int16_t& PageNumber,
                                      std::int16_t PageSize);
  void BuildTripSummaryReportResults(const std::string& SummaryType,
                                     const std::string& SqlCondition, std::int16_t& PageNumber,
                                     std::int16_t PageSize);
  void PopulateDD();
  void getcust(const std::string& custnum);
  std::string BuildDestinationDD(const std::string& Attributes, const std::string& Destination,
                                 bool DestinationIsNew);
  std::string BuildFundDD(const std::string& Attributes, const std::string& Fund);
  void AddNewTRIPREQ();
  std::string BreakString(std::string& str, std::int16_t length);
  void DeleteTripRequest(std::int32_t TripRequestNumber);
  void PopulateCustDD();
  void PopulateDestDD();
  void SendEmail(const std::string& EmailAddress, const std::string& Subject,
                 const std::string& Body);
  std::int32_t CreateTrip(std::int32_t TripReqNum);
  void PopulateGradeDD();
  void PopulateFundDD(const std::string& CustomerFilter);
  std::string BuildAssignmentSection();
  void PopulateSchedDD();
  std::string BuildSchedDD(const std::string& selSched, std::int16_t schedNum);
  void PopulateVehTypeDD();
  std::string BuildVehTypeDD(const std::string& selVehType, const std::string& strPrimary);
  std::string BuildCapacityDD(const std::string& selCapacity);
  void PopulateTikTempDD();
  std::string BuildTripTikDD(const std::string& selTripTik);
  void PopulateCatDD();
  std::string getCHAIN(const std::string& strCustNum, const std::string& strTripCat);
  std::string getdest(const std::string& dest);
  std::string getFundDesc(const std::string& fundnum, const std::string& customer);
  void PopulateDESTCATDD();
  void getBILLRATEFlat(std::int16_t BILLRATE);
  std::string getTIME(const std::string& strTIME);
  std::string getDATE(vb::DateTime dtDATE);
  void SetDestFromREQ(std::int32_t lngTRIPNUM);

  // ---- Web class events ----------------------------------------------------------------------
  void WebClass_Initialize();
  void WebClass_Start();

  // ---- Item handlers -------------------------------------------------------------------------
  void Login_Respond();
  void Login_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void Login_LoginValidateUser();

  void Logout_Respond();
  void Logout_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);

  void LookupCust_UserEvent(const std::string& EventName);
  void LookupCust_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupCust_FindCusts();
  void LookupCust_RetwSelected();

  void LookupDest_UserEvent(const std::string& EventName);
  void LookupDest_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupDest_FindDests();
  void LookupDest_RetwSelected();

  void LookupFund_UserEvent(const std::string& EventName);
  void LookupFund_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void LookupFund_FindFunds();
  void LookupFund_RetwSelected();

  void PrintReport_Respond();
  void PrintReport_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void PrintReport_PrintReport();

  void RequestDetail_Respond();
  void RequestDetail_UserEvent(const std::string& EventName);
  void RequestDetail_ProcessTag(const std::string& TagName, std::string& TagContents,
                                bool& SendTags);
  void RequestDetail_TripRequestDetail();

  void RequestSearch_Respond();
  void RequestSearch_ProcessTag(const std::string& TagName, std::string& TagContents,
                                bool& SendTags);
  void RequestSearch_Navigate();
  void RequestSearch_TripRequests();

  void TripReport1_Respond();
  void TripReport1_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void TripReport1_TripReport1();
  void TripReport2_Respond();
  void TripReport2_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void TripReport2_TripReport2();

  void TripRequestDetailPrint_Respond();
  void TripRequestDetailPrint_ProcessTag(const std::string& TagName, std::string& TagContents,
                                         bool& SendTags);

  void TripRequestReport1_Respond();
  void TripRequestReport1_ProcessTag(const std::string& TagName, std::string& TagContents,
                                     bool& SendTags);
  void TripRequestReport1_TripRequestReport1();
  void TripRequestReport2_Respond();
  void TripRequestReport2_ProcessTag(const std::string& TagName, std::string& TagContents,
                                     bool& SendTags);
  void TripRequestReport2_TripRequestReport2();

  void TripSearch_Respond();
  void TripSearch_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void TripSearch_FieldTrips();

  void TripSummaryReport_Respond();
  void TripSummaryReport_ProcessTag(const std::string& TagName, std::string& TagContents,
                                    bool& SendTags);
  void TripSummaryReport_TripSummaryReport();

  // ---- State, open to the subsystems and to tests ------------------------------------------
  frame::ModuleState& module() { return module_; }
  web::Context& context() { return ctx_; }
  session::SessionCheckState session_check_state;
  request::FormState form;
  request::LookupLists lists;
  request::CustomerRecord customer;
  request::DestinationRecord destination;
  request::BillRateAmounts bill_rate;
  reports::SearchState search;
  reports::TripSearchState trip_search;
  lookup::LookupState lookup_state;

 private:
  // Private operations.
  std::string BuildMonthDD(vb::DateTime date, const std::string& prefix,
                           const std::string& attributes);
  std::string BuildDayDD(vb::DateTime date, const std::string& prefix,
                         const std::string& attributes);
  std::string BuildYearDD(vb::DateTime date, const std::string& prefix,
                          const std::string& attributes);
  std::string BuildTimeDD(vb::DateTime time, const std::string& prefix,
                          const std::string& attributes);
  void ClearRequestDetailVars();
  void ResetRequestSearch();
  void ResetTripSearch();

 public:
  // ---- Shared helpers of the handlers ----------------------------------------------------
  // Runs a web-class procedure under the error convention (trap, cleanup, exit step).
  void procedure(const frame::Procedure& definition, const std::function<void()>& work,
                 const std::function<void()>& cleanup = {});
  // The session check: false (and the Logout page next) when the session has no user.
  bool session_check();
  // The database preparation: application path, data path, the three connections. False when
  // the module error string is set afterwards.
  bool prepare_database();
  // Session and application values as text (Empty reads as "").
  std::string session_text(std::string_view key) const;
  std::string application_text(std::string_view key) const;
  void set_session(std::string_view key, vb::Variant value) {
    ctx_.set_session(key, std::move(value));
  }
  // The district header tags (WC@NAME, WC@ADDR1, WC@CITYSTZIP, WC@PHONE); true when answered.
  bool district_header_tag(const std::string& tag_name, std::string& tag_contents) const;
  // A short page for items whose work is still to come.
  void not_yet_available(std::string_view what);

  // ---- Request form helpers --------------------------------------------------------------
  // Sets blnCanEdit, blnCanApprove and strApproveValue from the authority answer for a stored
  // request; false when the answer failed (the module error string holds the report).
  bool load_authority(std::int32_t request_number);
  // Opens rsTripReq with the statement head and the number. A request that is not there, or that
  // the user may not read, ends the handler with `refusal` (or the "gone" message) instead.
  void open_request_row(std::int32_t request_number, const char* sql_head, const char* refusal);
  // Whether the signed-in user may read a request of this customer.
  bool may_read_customer(const std::string& request_customer) const;
  // Closes rsTripReq and the connections.
  void close_request_form();
  // Runs work with the trip connection open, opening and closing it when it was not.
  void with_trip_connection(const std::function<void()>& work);
  // A session count key as a number (Empty reads as 0).
  int session_count(const char* key) const;

 private:
  friend class RequestFormTags;
  friend class BuilderProbe;  // tests of the private selector builders
  void render_request_tag(RequestFormTags& tags, const std::string& tag, std::string& out);
  bool takes_session_value(const RequestFormTags& tags) const;
  void render_customer(RequestFormTags& tags, std::string& out);
  void render_destination(RequestFormTags& tags, std::string& out);
  void render_destination_address(RequestFormTags& tags, std::string& out);
  void render_fund(RequestFormTags& tags, std::string& out);
  void render_time(RequestFormTags& tags, const std::string& prefix, const char* column,
                   std::string& out);

 public:
 private:
  web::Context& ctx_;
  frame::ModuleState module_;
  frame::SettingsWatcher* settings_;
};
