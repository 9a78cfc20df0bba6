// The error convention: report formats (the dash form is ChkEligWeb's test), the trap, the exit
// step and the error-91 rule.
#include <gtest/gtest.h>

#include "frame/procedure.h"
#include "platform/sys/event_log.h"

namespace frame {
namespace {

class ErrorConventionTest : public ::testing::Test {
 protected:
  sys::FixedClock clock_;
  sys::MemoryEventLog log_;
  sys::Services services_{&clock_, nullptr, &log_};
  ModuleState module_{services_};
  web::Response response_;
};

TEST_F(ErrorConventionTest, reports_name_the_procedure_module_and_error_character_for_character) {
  EXPECT_EQ(error_report({"WebClass_Start"}, vb::err::type_mismatch()),
            "Error in Procedure: WebClass_Start of Module: Jaunter.  Error: 13.  Type mismatch.");
  EXPECT_EQ(error_report({"HasAuthority", "mdlApproval"}, vb::err::no_current_record()),
            "Error in Procedure: HasAuthority of Module: mdlApproval.  Error: 3021.  Either BOF or "
            "EOF is True, or the current record has been deleted. Requested operation requires a "
            "current record..");
}

TEST_F(ErrorConventionTest, outside_text_is_escaped_but_the_applications_own_text_is_not) {
  EXPECT_EQ(error_report({"getdest"}, vb::err::provider_error("near \"<b>\": syntax error")),
            "Error in Procedure: getdest of Module: Jaunter.  Error: -2147467259.  near "
            "&quot;&lt;b&gt;&quot;: syntax error.");
  EXPECT_EQ(error_report({"getdest"}, vb::RuntimeError(8, "<p>own</p>")),
            "Error in Procedure: getdest of Module: Jaunter.  Error: 8.  <p>own</p>.");
}

TEST_F(ErrorConventionTest, trap_reports_runs_the_cleanup_and_reaches_the_exit_step) {
  bool cleaned = false, after = false;
  run(
      module_, &response_, {"PopulateDD"},
      [&] {
        throw vb::err::overflow();
        after = true;
      },
      [&] { cleaned = true; });
  EXPECT_FALSE(after);
  EXPECT_TRUE(cleaned);
  EXPECT_EQ(module_.error,
            "Error in Procedure: PopulateDD of Module: Jaunter.  Error: 6.  Overflow.");
  EXPECT_EQ(response_.body(), module_.error);
}

TEST_F(ErrorConventionTest, a_report_is_written_by_every_later_exit_step_of_the_request) {
  run(module_, &response_, {"Login"}, [&] {
    run(module_, &response_, {"PopulateDD"}, [] { throw vb::err::type_mismatch(); });
    // The login goes on after its callee trapped the failure.
  });
  const std::string report =
      "Error in Procedure: PopulateDD of Module: Jaunter.  Error: 13.  Type mismatch.";
  EXPECT_EQ(response_.body(), report + report);
}

TEST_F(ErrorConventionTest, exit_step_without_a_report_and_na_in_any_case_writes_nothing) {
  run(module_, &response_, {"Handler"}, [] { exit_step(); });
  EXPECT_EQ(response_.body(), "");
  module_.error = "na";
  write_exit(module_, &response_);
  EXPECT_EQ(response_.body(), "");
  module_.error = "Please enter a valid departure from date.";
  run(module_, &response_, {"Handler"}, [] { exit_step(); });
  EXPECT_EQ(response_.body(), "Please enter a valid departure from date.");
}

TEST_F(ErrorConventionTest, error_91_keeps_an_earlier_message_only_where_the_variant_applies) {
  module_.error = "Sorry, your search returned more than 300 rows.";
  run(module_, nullptr, {"LookupCust_FindCusts", "Jaunter", true, true, true},
      [] { throw vb::err::object_not_set(); });
  EXPECT_EQ(module_.error, "Sorry, your search returned more than 300 rows.");

  run(module_, nullptr, {"RequestSearch_TripRequests"}, [] { throw vb::err::object_not_set(); });
  EXPECT_EQ(module_.error,
            "Error in Procedure: RequestSearch_TripRequests of Module: Jaunter.  Error: 91.  "
            "Object variable or With block variable not set.");
  module_.error = "NA";  // nothing earlier to keep: the report stands
  run(module_, nullptr, {"BuildFundDD", "Jaunter", true, true, true},
      [] { throw vb::err::object_not_set(); });
  EXPECT_NE(module_.error.find("Error: 91."), std::string::npos);
}

TEST_F(ErrorConventionTest, procedures_without_a_trap_pass_failures_to_their_caller) {
  EXPECT_THROW(run(module_, &response_, {"RequestDetail_ProcessTag", "Jaunter", false, true},
                   [] { throw vb::err::no_current_record(); }),
               vb::RuntimeError);
  EXPECT_EQ(module_.error, "NA");
  run(module_, &response_, {"Caller"}, [&] {
    run(module_, &response_, {"Inner", "Jaunter", false, true},
        [] { throw vb::err::type_mismatch(); });
  });
  EXPECT_EQ(module_.error,
            "Error in Procedure: Caller of Module: Jaunter.  Error: 13.  Type mismatch.");
}

TEST_F(ErrorConventionTest, module_procedures_set_the_string_but_never_write) {
  run_module(module_, {"NextRole", "mdlApproval"}, [] { throw vb::err::invalid_use_of_null(); });
  EXPECT_NE(module_.error.find("NextRole of Module: mdlApproval.  Error: 94."), std::string::npos);
  EXPECT_EQ(response_.body(), "");
}

}  // namespace
}  // namespace frame
