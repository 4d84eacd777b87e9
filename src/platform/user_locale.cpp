#include "platform/user_locale.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace pelorin {

namespace {

struct TLocaleId {
  std::string_view Name;  // language_TERRITORY or language alone (its primary locale)
  int32_t Lcid;
};

constexpr TLocaleId kLocales[] = {
    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en_NZ", 5129},
    {"en_IE", 6153}, {"en", 1033},    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079},
    {"de_LU", 4103}, {"de", 1031},    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084},
    {"fr_CH", 4108}, {"fr", 1036},    {"it_IT", 1040}, {"it_CH", 2064}, {"it", 1040},
    {"es_ES", 3082}, {"es_MX", 2058}, {"es", 3082},    {"pt_BR", 1046}, {"pt_PT", 2070},
    {"pt", 2070},    {"nl_NL", 1043}, {"nl_BE", 2067}, {"nl", 1043},    {"da_DK", 1030},
    {"da", 1030},    {"sv_SE", 1053}, {"sv_FI", 2077}, {"sv", 1053},    {"nb_NO", 1044},
    {"nb", 1044},    {"nn_NO", 2068}, {"nn", 2068},    {"no", 1044},    {"fi_FI", 1035},
    {"fi", 1035},    {"is_IS", 1039}, {"is", 1039},    {"pl_PL", 1045}, {"pl", 1045},
    {"cs_CZ", 1029}, {"cs", 1029},    {"hu_HU", 1038}, {"hu", 1038},    {"el_GR", 1032},
    {"el", 1032},    {"tr_TR", 1055}, {"tr", 1055},    {"ru_RU", 1049}, {"ru", 1049},
    {"et_EE", 1061}, {"et", 1061},    {"lv_LV", 1062}, {"lv", 1062},    {"lt_LT", 1063},
    {"lt", 1063},    {"hr_HR", 1050}, {"hr", 1050},    {"ja_JP", 1041}, {"ja", 1041},
    {"zh_CN", 2052}, {"zh_TW", 1028}, {"zh", 2052},    {"ko_KR", 1042}, {"ko", 1042},
};

int32_t Find(std::string_view key) {
  for (const auto& entry : kLocales)
    if (entry.Name == key) return entry.Lcid;
  return 0;
}

}  // namespace

int32_t LcidFromLocaleName(std::string_view name) {
  // Drop ".codeset" and "@modifier".
  name = name.substr(0, name.find_first_of(".@"));
  if (int32_t lcid = Find(name)) return lcid;
  const auto sep = name.find_first_of("_-");
  if (sep != std::string_view::npos) {
    std::string key(name);
    key[sep] = '_';
    if (int32_t lcid = Find(key)) return lcid;
    if (int32_t lcid = Find(name.substr(0, sep))) return lcid;
  }
  return kLcidEnglishUS;
}

int32_t GetUserDefaultLCID() {
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LcidFromLocaleName(value);
  }
  return kLcidEnglishUS;
}

int LocalYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  return ::localtime_r(&now, &local) != nullptr ? local.tm_year + 1900 : 2000;
}

}  // namespace pelorin
