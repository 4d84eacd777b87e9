#include "codec/time_sentence_year.h"

namespace pelorin {

int CenturyYear(int yy, int currentYear) {
  const int base = currentYear - 50;
  // Floor division keeps the window right for any base.
  const int century = (base >= 0 ? base / 100 : -((-base + 99) / 100)) * 100;
  int year = yy + century;
  if (year < base) year += 100;
  return year;
}

bool SentenceYear(std::string_view digits, int currentYear, int& year) {
  if (digits.size() != 2 || digits[0] < '0' || digits[0] > '9' || digits[1] < '0' || digits[1] > '9') return false;
  year = CenturyYear((digits[0] - '0') * 10 + (digits[1] - '0'), currentYear);
  return true;
}

}  // namespace pelorin
