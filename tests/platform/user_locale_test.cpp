#include "platform/user_locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace pelorin {
namespace {

TEST(UserLocale, NamesToLcid) {
  struct TCase {
    const char* Name;
    int32_t Lcid;
  } cases[] = {
      {"en_US.UTF-8", 1033}, {"de_DE.UTF-8", 1031}, {"de_AT", 3079},   {"de_CH.utf8", 2055},
      {"en_GB.UTF-8", 2057}, {"fr_FR@euro", 1036},  {"nl_NL", 1043},   {"de", 1031},
      {"de_XX.UTF-8", 1031},  // unknown territory: the language's primary locale
      {"en-GB", 2057},       {"C", 1033},           {"C.UTF-8", 1033}, {"POSIX", 1033},
      {"", 1033},            {"xx_YY", 1033},       {"_", 1033},       {".@", 1033},
  };
  for (const auto& c : cases) EXPECT_EQ(LcidFromLocaleName(c.Name), c.Lcid) << c.Name;
}

class TEnvironment {
 public:
  explicit TEnvironment(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v;
  }
  ~TEnvironment() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }
  void Set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserLocale, EnvironmentOrder) {
  TEnvironment all("LC_ALL"), numeric("LC_NUMERIC"), lang("LANG");
  all.Set(nullptr), numeric.Set(nullptr), lang.Set(nullptr);
  EXPECT_EQ(GetUserDefaultLCID(), 1033);
  lang.Set("de_DE.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 1031);
  numeric.Set("fr_FR.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 1036);
  all.Set("");  // set but empty counts as unset
  EXPECT_EQ(GetUserDefaultLCID(), 1036);
  all.Set("en_GB.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 2057);
}

}  // namespace
}  // namespace pelorin
