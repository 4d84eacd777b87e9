#pragma once
// Late-bound automation of a spreadsheet application, reduced to what the ship-list export
// asks of it: objects are reached by member name, property puts and method calls take
// variant arguments, and an application object is created by its programmatic identifier.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelorin {

// An optional argument left out (COM: VT_ERROR with DISP_E_PARAMNOTFOUND).
struct TNotGiven {
  bool operator==(const TNotGiven&) const = default;
};

// Text, 32-bit integer (VT_I4), 16-bit integer (VT_I2), Boolean, or not given.
using TAutomationValue = std::variant<TNotGiven, std::string, int32_t, int16_t, bool>;
using TAutomationArgs = std::vector<TAutomationValue>;

inline constexpr TNotGiven NotGiven{};

// SaveAs's file format for an Excel 97-2003 workbook (xlExcel8).
inline constexpr int32_t kXlExcel8 = 56;

// A call the object refused or could not carry out; what() is the reason for the user.
class TAutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One dispatch object (application, collection, range, font ...). Every member can throw
// TAutomationError.
class TAutomationObject {
 public:
  virtual ~TAutomationObject() = default;
  // Property get that yields an object: Workbooks, Cells(r, c), Font, Range("A2:N2") ...
  virtual std::unique_ptr<TAutomationObject> Get(std::string_view member,
                                                 const TAutomationArgs& args = {}) = 0;
  // Property put: Value = ..., Font.Size = ...
  virtual void Put(std::string_view member, const TAutomationValue& value) = 0;
  // Method call whose result is not used: Add, Select, AutoFit, SaveAs, Close ...
  virtual void Call(std::string_view member, const TAutomationArgs& args = {}) = 0;
};

class TAutomationFactory {
 public:
  virtual ~TAutomationFactory() = default;
  // The application object registered under `progId`, or nullptr when there is none or it
  // cannot be started; creation succeeds or fails as a whole.
  virtual std::unique_ptr<TAutomationObject> CreateOleObject(std::string_view progId) = 0;
};

}  // namespace pelorin
