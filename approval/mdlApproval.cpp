// The approval chain.
//
// Design note: a chain row holds up to eight levels, each an approver role and the status its
// approval gives. Two numbers decide every right: the user level u (one past the highest level
// whose approver is the user's role; 1 for a role in no level) and the current level c (one past
// the level whose status the request holds; 1 while "UNAPPROVED", 10 for a foreign status, 9
// without a chain row). A user may edit while u >= c and approve while u > c, so a higher level
// may approve before a lower one. Roles compare exactly; statuses upper-cased.
#include "approval/mdlApproval.h"

#include "config/ChkEligWeb.h"
#include "frame/procedure.h"
#include "platform/db/jet.h"
#include "platform/vb/conversions.h"

namespace mdlApproval {

namespace {

frame::Procedure procedure(const char* name) {
  return {name, "mdlApproval"};
}

std::string approver_column(int level) {
  if (level == 1) return "LEVEL1APPROVER";
  return "Level" + std::to_string(level) + "Approver";
}

std::string status_column(int level) {
  if (level == 8) return "LEVEL8STATUS";
  return "Level" + std::to_string(level) + "Status";
}

std::string chain_query(const std::string& chain_id) {
  return "Select * from CLSCC where CLSCC.CHAINID = " + db::quote_text(chain_id);
}

}  // namespace

Authority HasAuthority(frame::ModuleState& module, std::int32_t trip_request_number,
                       const std::string& role, const std::string& chain_id,
                       const std::string& user_customer) {
  Authority result;
  frame::run_module(module, procedure("HasAuthority"), [&] {
    Authority answer;
    std::string chain, status, request_customer;
    if (chain_id.empty()) {
      db::Recordset request;
      request.open("Select * from TRIPSREQ where TRIPNUM = " + std::to_string(trip_request_number),
                   module.request_db());
      chain = vb::Trim(NullToStr(request.field("chainid")));
      status = NullToStr(request.field("Status"));
      request_customer = NullToStr(request.field("CUSTOMER"));
    } else {
      chain = chain_id;
      status = "UNAPPROVED";
    }
    const std::string upper_status = vb::UCase(status);
    const bool customer_ok = vb::Trim(user_customer).empty() || user_customer == request_customer;
    if (upper_status != "ACCEPTED" && upper_status != "DENIED") {
      if (!chain.empty()) {
        db::Recordset chain_row;
        chain_row.open(chain_query(chain), module.security_db());
        int user_level = 1, current_level = 9;
        if (!chain_row.eof()) {
          if (!role.empty()) {
            for (int k = 1; k <= 8; ++k) {
              const vb::Variant& approver = chain_row.field(approver_column(k));
              if (!approver.is_null() && vb::CStr(approver) == role) {
                user_level = k + 1;
                answer.approval = NullToStr(chain_row.field(status_column(k)));
              }
            }
          }
          if (upper_status == "UNAPPROVED") {
            current_level = 1;
          } else {
            current_level = 10;
            for (int k = 1; k <= 8; ++k) {
              if (vb::UCase(NullToStr(chain_row.field(status_column(k)))) == upper_status) {
                current_level = k + 1;
                break;
              }
            }
          }
        }
        if (user_level >= current_level && customer_ok) {
          answer.may_edit = true;
          answer.may_approve = user_level > current_level;
        }
      } else if (upper_status == "PENDING" && customer_ok) {
        answer.may_edit = true;
      }
      if (status == "PENDING") answer.may_approve = false;
    }
    result = answer;  // assembled only at the end: a failure part-way answers no rights
  });
  return result;
}

std::optional<std::string> NextRole(frame::ModuleState& module, const std::string& chain_id,
                                    const std::string& status) {
  std::optional<std::string> result;
  frame::run_module(module, procedure("NextRole"), [&] {
    const std::string upper_status = vb::UCase(status);
    if (vb::Trim(chain_id).empty() || upper_status == "ACCEPTED" || upper_status == "DENIED" ||
        upper_status == "PENDING") {
      return;
    }
    db::Recordset chain_row;
    chain_row.open(chain_query(chain_id), module.security_db());
    if (chain_row.eof()) return;
    // An unused level's approver is often Null rather than empty; both mean no next approver.
    auto approver = [&](int level) {
      return vb::Trim(NullToStr(chain_row.field(approver_column(level))));
    };
    if (upper_status == "UNAPPROVED") {
      result = approver(1);
      return;
    }
    for (int k = 1; k <= 7; ++k) {
      if (vb::UCase(NullToStr(chain_row.field(status_column(k)))) == upper_status) {
        result = approver(k + 1);
        return;
      }
    }
  });
  return result;
}

std::string GetApproverEmail(frame::ModuleState& module, const std::string& role,
                             const std::string& customer) {
  std::string result;
  frame::run_module(module, procedure("GetApproverEmail"), [&] {
    if (role.empty()) return;
    db::Recordset users;
    users.open("SELECT CLSCU.EMAIL, CLSCU.ROLE, CLSCU.CUSTOMER From CLSCU WHERE (CLSCU.ROLE=" +
                   db::quote_text(role) + ") AND (CLSCU.CUSTOMER=" + db::quote_text(customer) +
                   " OR CLSCU.CUSTOMER='' or isnull(CLSCU.CUSTOMER))",
               module.security_db());
    std::string collected;
    for (; !users.eof(); users.move_next()) {
      const std::string email = NullToStr(users.field("EMAIL"));
      if (vb::Trim(email).empty()) continue;
      collected = vb::Trim(collected).empty() ? email : vb::Trim(collected) + "; " + email;
    }
    result = collected;
  });
  return result;
}

Severity Check_calNotes(frame::ModuleState& module, const std::string& date_text, bool fetch_texts,
                        bool closed_only) {
  Severity result = Severity::None;
  frame::run_module(module, procedure("Check_calNotes"), [&] {
    if (!ChkEligWeb::OpenConnections(module)) return;
    db::Recordset note;
    note.open("Select * from Big_CalCalNotes where NoteDate = " + db::quote_date(date_text),
              module.trip_db());
    if (closed_only) {
      const vb::Variant closed = note.eof() ? vb::Variant(false) : note.field("Note_SchoolClosed");
      result = static_cast<Severity>(closed.is_bool() && closed.get<bool>() ? -1 : 0);
    } else if (!note.eof()) {
      if (fetch_texts) {
        module.strNoteText = vb::Trim(NullToStr(note.field("NoteText")));
        module.strNoteLongText = vb::Trim(NullToStr(note.field("NoteLongText")));
      }
      result = static_cast<Severity>(vb::CInt(note.field("NoteSeverity")));
    }
    note.close();
    ChkEligWeb::CloseTripDBConnections(module);
  });
  return result;
}

}  // namespace mdlApproval
