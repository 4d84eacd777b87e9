#include "catalogue/source_scan.h"

namespace pelorin {

namespace {

void Meet(TSourceEntries& b, int64_t c, int64_t f, int64_t seconds) {
  TScanState& s = b.State;
  if (!b.Found) b.FirstLine = f;
  b.Found = s.AnyStamp = true;
  s.T = SecondsToTDateTime(seconds);
  s.Td = static_cast<TDateTime>(TDateTimeDay(s.T));
  if (s.D == 0) {
    s.D = s.Td;
    s.S = s.E = s.T;
  } else if (s.Td == s.D) {
    s.E = s.T;
  } else {
    // The lines before the first time of a new day belong to the day before.
    if (f > s.L) WriteEntry(b.Entries, s, s.E, c, f - 1);
    s.L = f;
    s.D = s.Td;
    s.S = s.E = s.T;
  }
}

}  // namespace

void BeginSourceScan(TSourceScan& scan, const TScanState& st, int currentYear) {
  scan.Reader.CurrentYear = currentYear;
  scan.Reader.Clock = {};
  scan.Tags = {st, {}, false, 0};
  scan.Stations = {st, {}, false, 0};
  scan.GpsTime = false;
}

void SourceScanLine(TSourceScan& scan, int64_t c, int64_t f, std::string_view line) {
  if (scan.GpsTime) return;
  const TSourceTimes got = SourceLineTimes(scan.Reader, line);
  scan.GpsTime = got.GpsTime;
  if (got.Stamped) Meet(scan.Tags, c, f, got.StampSeconds);
  if (got.Station) Meet(scan.Stations, c, f, got.StationSeconds);
}

bool TagsTimeFile(const TSourceScan& scan) {
  return scan.Tags.Found && (!scan.Stations.Found || scan.Tags.FirstLine <= scan.Stations.FirstLine);
}

TTimeSource EndSourceScan(TSourceScan& scan, int64_t c, int64_t lastLine, TScanState& st, TLogList& list) {
  if (scan.GpsTime) return TTimeSource::GpsSentences;
  // A recording whose lines carry a time only here and there is timed better by the
  // base stations when they begin to time it sooner.
  const bool byTags = TagsTimeFile(scan);
  TSourceEntries* chosen = byTags ? &scan.Tags : scan.Stations.Found ? &scan.Stations : nullptr;
  if (chosen == nullptr) return TTimeSource::GpsSentences;
  WriteEntry(chosen->Entries, chosen->State, chosen->State.T, c, lastLine);
  list.insert(list.end(), chosen->Entries.begin(), chosen->Entries.end());
  st = chosen->State;
  return byTags ? TTimeSource::TagBlocks : TTimeSource::BaseStations;
}

}  // namespace pelorin
