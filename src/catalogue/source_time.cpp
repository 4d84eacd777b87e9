#include "catalogue/source_time.h"

#include "catalogue/time_stamp.h"
#include "codec/ais_bits.h"

namespace pelorin {

namespace {

bool ReadsAsGpsTime(TSourceReader& r, TSentenceKind kind, std::string_view sentence) {
  TDateTime t = 0;
  const bool read = kind == sk_RMC ? NMEA_RMC_DateTime(sentence, r.Date, r.Time)
                                   : NMEA_ZDA_DateTime(sentence, r.Date, r.Time);
  return read && ReadTimeStamp(r.Date, r.Time, r.CurrentYear, t);
}

// Where field 5 (an AIS sentence's payload) begins, or npos.
size_t PayloadAt(std::string_view sentence) {
  size_t at = 0;
  for (int comma = 0; comma < 5; ++comma) {
    at = sentence.find(',', at);
    if (at == std::string_view::npos) return at;
    ++at;
  }
  return at;
}

// Only lines that may be a time sentence or a base station's report are split: the
// others (most lines) cannot give a time but their own.
bool MayGiveTime(std::string_view sentence) {
  if (sentence.empty()) return false;
  if (sentence[0] == '$') return NMEA_TagKind(sentence.substr(0, 6)) != sk_Other;
  const size_t at = PayloadAt(sentence);
  return sentence[0] == '!' && at < sentence.size() && (sentence[at] == '4' || sentence[at] == ';');
}

}  // namespace

const char* TimeSourceName(TTimeSource source) {
  switch (source) {
    case TTimeSource::TagBlocks: return "tag blocks";
    case TTimeSource::BaseStations: return "base stations";
    default: return "GPS sentences";
  }
}

bool IsStationTimeSentence(TSentenceKind kind, size_t fields, bool oneSentence, int msgId) {
  return (kind == sk_AIS || kind == sk_OwnAIS) && fields == 7 && oneSentence && (msgId == 4 || msgId == 11);
}

bool LineStampSeconds(std::string_view line, int currentYear, int64_t& seconds) {
  if (line.size() > kLongestTimedLine) return false;
  TLineStamp stamp;
  SentenceOfLine(line, currentYear, stamp);
  seconds = stamp.Seconds;
  return stamp.Kind == TStampKind::Time;
}

TSourceTimes SourceLineTimes(TSourceReader& r, std::string_view line) {
  TSourceTimes out;
  if (line.size() > kLongestTimedLine) return out;
  TLineStamp stamp;
  const std::string_view sentence = SentenceOfLine(line, r.CurrentYear, stamp);
  out.Stamped = stamp.Kind == TStampKind::Time;
  out.StampSeconds = stamp.Seconds;
  if (!MayGiveTime(sentence)) return out;
  const TSentenceKind kind = NMEA_Split(sentence, r.Fields);
  if ((kind == sk_RMC || kind == sk_ZDA) && stamp.Kind == TStampKind::None && ReadsAsGpsTime(r, kind, sentence)) {
    out = {};
    out.GpsTime = true;
    return out;
  }
  const size_t n = r.Fields.size();
  TStationTime report;
  if (IsStationTimeSentence(kind, n, n == 7 && r.Fields[1] == "1", n == 7 ? AIS_MsgID(r.Fields[5]) : 0) &&
      AIS_DecodeStationTime(r.Fields[5], report))
    out.Station = StationClockReport(r.Clock, report, r.CurrentYear, out.StationSeconds);
  return out;
}

}  // namespace pelorin
