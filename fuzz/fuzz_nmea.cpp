// NMEA_Split, the checksum and tag tests, and every time reader on one arbitrary line.
// The scan's readers and the pass's readers must agree wherever both accept a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/ship_table.h"
#include "catalogue/time_stamp.h"
#include "codec/nmea.h"
#include "codec/tdatetime.h"
#include "fuzz_support.h"

using namespace pelorin;
using namespace pelorin::fuzz;

namespace {

size_t CountSeparators(std::string_view line) {
  size_t n = 0;
  for (size_t i = 0; i + 1 < line.size(); ++i) n += line[i] == ',' || line[i] == '*';
  return n;
}

std::string TwoDigits(int v) {
  std::string s(2, '0');
  s[0] = static_cast<char>('0' + v / 10 % 10);
  s[1] = static_cast<char>('0' + v % 10);
  return s;
}

std::string IsoText(const TDateParts& p) {
  return std::to_string(p.Year) + "-" + TwoDigits(p.Month) + "-" + TwoDigits(p.Day) + "T" + TwoDigits(p.Hour) + ":" +
         TwoDigits(p.Minute) + ":" + TwoDigits(p.Second) + "Z";
}

void CheckSplit(std::string_view line, const TFieldList& fields, TSentenceKind kind) {
  PELORIN_FUZZ_CHECK(fields.size() == CountSeparators(line), "one field per separator");
  // The fields and their separators rebuild the line up to the last separator.
  size_t at = 0;
  for (std::string_view f : fields) {
    PELORIN_FUZZ_CHECK(f.data() == line.data() + at, "fields are consecutive views into the line");
    PELORIN_FUZZ_CHECK(f.find_first_of(",*") == std::string_view::npos, "no separator inside a field");
    at += f.size();
    PELORIN_FUZZ_CHECK(at < line.size() && (line[at] == ',' || line[at] == '*'), "a separator follows a field");
    ++at;
  }
  if (kind != sk_Other) {
    PELORIN_FUZZ_CHECK(NMEA_ChecksumOK(line), "a known kind has a right checksum");
    const std::string_view tag = fields[0];
    const bool known = tag == "!AIVDM" || tag == "!BSVDM" || tag == "!AIVDO" || tag == "$GPRMC" ||
                       tag == "$GPZDA" || tag == "$ECZDA";
    PELORIN_FUZZ_CHECK(known, "a known kind has a known tag");
    PELORIN_FUZZ_CHECK((kind == sk_OwnAIS) == (tag == "!AIVDO"), "own AIS kind");
    PELORIN_FUZZ_CHECK((kind == sk_RMC) == (tag == "$GPRMC"), "RMC kind");
  }
}

void CheckScanReaders(std::string_view line, const TFieldList& fields) {
  std::string date = "untouched", time = "untouched";
  const bool rmc = NMEA_RMC_DateTime(line, date, time);
  if (!rmc) PELORIN_FUZZ_CHECK(date == "untouched" && time == "untouched", "a failed reader writes nothing");
  PELORIN_FUZZ_CHECK(!rmc || (fields.size() == 13 && fields[2] == "A"), "RMC reader needs 13 fields and A");
  PELORIN_FUZZ_CHECK(!rmc || (date.size() <= 8 && time.size() <= 8), "RMC reader texts are short");

  // The scan and the pass place two-digit years by the same rule.
  TDateTime scanStamp = 0;
  const bool scanOk = rmc && ReadTimeStamp(date, time, 2050, scanStamp);
  TDateTime passStamp = -1;
  const bool passOk = RMC_TimeStampDT(fields, 2050, passStamp);
  PELORIN_FUZZ_CHECK(passOk || passStamp == 0, "a failed RMC value is 0");
  // The pass wants every time piece of two digits; the scan also reads "9:30:15".
  PELORIN_FUZZ_CHECK(!passOk || scanOk, "an RMC time the pass accepts, the scan accepts");
  if (scanOk && !passOk) {
    const bool shortPiece = time.size() < 8 || time[2] != ':' || time[5] != ':';
    PELORIN_FUZZ_CHECK(shortPiece, "the scan alone accepts only one-digit time pieces");
  }
  if (passOk) {
    PELORIN_FUZZ_CHECK(TDateTimeToSeconds(scanStamp) == TDateTimeToSeconds(passStamp), "scan and pass agree");
    TText text;
    RMC_TimeStampStr(fields, 2050, text);
    PELORIN_FUZZ_CHECK(text == IsoText(DecodeDateTime(passStamp)), "RMC text names the RMC value");
  }

  std::string zdate = "untouched", ztime = "untouched";
  const bool zda = NMEA_ZDA_DateTime(line, zdate, ztime);
  if (!zda) PELORIN_FUZZ_CHECK(zdate == "untouched" && ztime == "untouched", "a failed reader writes nothing");
  TDateTime zScan = 0, zPass = -1;
  const bool zScanOk = zda && ReadTimeStamp(zdate, ztime, 2050, zScan);
  const bool zPassOk = ZDA_TimeStampDT(fields, 2050, zPass);
  PELORIN_FUZZ_CHECK(zPassOk || zPass == 0, "a failed ZDA value is 0");
  if (zPassOk) {
    TText text;
    ZDA_TimeStampStr(fields, 2050, text);
    PELORIN_FUZZ_CHECK(text.size() >= 15 && text.ends_with("Z"), "ZDA text of an accepted sentence");
    const TDateParts p = DecodeDateTime(zPass);
    PELORIN_FUZZ_CHECK(p.Year >= 1 && p.Year <= 9999, "ZDA year in the date type's range");
  }
  if (zScanOk && zPassOk) {
    const TDateParts a = DecodeDateTime(zScan), b = DecodeDateTime(zPass);
    PELORIN_FUZZ_CHECK(a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour && a.Minute == b.Minute &&
                           a.Second == b.Second,
                       "scan and pass agree on the ZDA day and time");
  }
  // Two-digit years land within 50 years of every current year a user can have.
  if (rmc) {
    for (int year : {1980, 2024, 2099}) {
      TDateTime stamp = 0;
      if (ReadTimeStamp(date, time, year, stamp)) {
        const int y = DecodeDateTime(stamp).Year;
        PELORIN_FUZZ_CHECK(y >= year - 50 && y <= year + 49, "century window");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  TFieldList fields;
  const TSentenceKind kind = NMEA_Split(line, fields);
  CheckSplit(line, fields, kind);
  for (std::string_view tag : {"$GPRMC", "$ECZDA", "!AIVDM", ""}) {
    const bool has = NMEA_HasTag(line, tag);
    const size_t n = std::min(line.size(), tag.size());
    PELORIN_FUZZ_CHECK(has == (line.substr(0, n) == tag.substr(0, n)), "tag test over the shorter length");
  }
  CheckScanReaders(line, fields);
  // A second split into the grown list gives the same result.
  TFieldList again = fields;
  PELORIN_FUZZ_CHECK(NMEA_Split(line, again) == kind && again == fields, "splitting is repeatable");
  return 0;
}
