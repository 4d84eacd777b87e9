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

TSourceTimes SourceLineTimes(TSourceReader& r, std::string_view line) {
  TSourceTimes out;
  TLineStamp stamp;
  const std::string_view sentence = SentenceOfLine(line, r.CurrentYear, stamp);
  const TSentenceKind kind = NMEA_Split(sentence, r.Fields);
  if ((kind == sk_RMC || kind == sk_ZDA) && stamp.Kind == TStampKind::None && ReadsAsGpsTime(r, kind, sentence)) {
    out.GpsTime = true;
    return out;
  }
  out.Stamped = stamp.Kind == TStampKind::Time;
  out.StampSeconds = stamp.Seconds;
  const size_t n = r.Fields.size();
  TStationTime report;
  if (IsStationTimeSentence(kind, n, n == 7 && r.Fields[1] == "1", n == 7 ? AIS_MsgID(r.Fields[5]) : 0) &&
      AIS_DecodeStationTime(r.Fields[5], report))
    out.Station = StationClockReport(r.Clock, report, r.CurrentYear, out.StationSeconds);
  return out;
}

}  // namespace pelorin
