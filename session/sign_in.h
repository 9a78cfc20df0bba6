// The Login and Logout items: the sign-in against the security database, which fills the session
// with the user's identity, rights and lists, and the sign-out.
#pragma once

#include <string>

#include "frame/context.h"

namespace session {

class SignIn : public frame::Subsystem {
 public:
  explicit SignIn(frame::RequestContext& context) : Subsystem(context) {}

  void Login_Respond();
  void Login_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);
  void Login_LoginValidateUser();

  void Logout_Respond();
  void Logout_ProcessTag(const std::string& TagName, std::string& TagContents, bool& SendTags);

 private:
  // The keys a sign-in attempt resets, valid or not.
  void reset_session_keys();
  // The district's comment and mail options, the lists, the funds; then the next page.
  void fill_session(const db::Recordset& user, const std::string& typed_user);
};

}  // namespace session
