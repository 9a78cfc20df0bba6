// Run-time failures of the language runtime and the database layer.
//
// Every failure that the application's error convention traps is a RuntimeError: it carries the
// number and the description that the error reports print. Descriptions that carry outside text
// (a database engine's message, a file name) are flagged so that the report can escape them.
#pragma once

#include <stdexcept>
#include <string>

namespace vb {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(long number, std::string description, bool outside_text = false)
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        outside_text_(outside_text) {}

  long number() const { return number_; }
  const std::string& description() const { return description_; }
  // True when the description holds text from outside the application (database messages).
  bool outside_text() const { return outside_text_; }

 private:
  long number_;
  std::string description_;
  bool outside_text_;
};

// The run-time errors the application relies on, with the runtime's own descriptions.
namespace err {
constexpr long kOverflow = 6;
constexpr long kSubscriptOutOfRange = 9;
constexpr long kTypeMismatch = 13;
constexpr long kObjectNotSet = 91;
constexpr long kInvalidUseOfNull = 94;
constexpr long kNoCurrentRecord = 3021;
constexpr long kItemNotFound = 3265;
// The database provider's generic failure (0x80004005), used for engine errors.
constexpr long kProviderError = -2147467259;

inline RuntimeError overflow() {
  return RuntimeError(kOverflow, "Overflow");
}
inline RuntimeError subscript_out_of_range() {
  return RuntimeError(kSubscriptOutOfRange, "Subscript out of range");
}
inline RuntimeError type_mismatch() {
  return RuntimeError(kTypeMismatch, "Type mismatch");
}
inline RuntimeError object_not_set() {
  return RuntimeError(kObjectNotSet, "Object variable or With block variable not set");
}
inline RuntimeError invalid_use_of_null() {
  return RuntimeError(kInvalidUseOfNull, "Invalid use of Null");
}
inline RuntimeError no_current_record() {
  return RuntimeError(kNoCurrentRecord,
                      "Either BOF or EOF is True, or the current record has been deleted. "
                      "Requested operation requires a current record.");
}
inline RuntimeError item_not_found() {
  return RuntimeError(kItemNotFound,
                      "Item cannot be found in the collection corresponding to the requested name "
                      "or ordinal.");
}
inline RuntimeError provider_error(std::string message) {
  return RuntimeError(kProviderError, std::move(message), true);
}
}  // namespace err

}  // namespace vb
