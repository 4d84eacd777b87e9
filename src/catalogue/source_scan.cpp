#include "catalogue/source_scan.h"

#include "catalogue/source_time.h"

namespace pelorin {

namespace {

// The entries one source gives the file, as the walk goes.
struct TSourceEntries {
  TScanState State;
  TLogList Entries;
  bool Found = false;
  int64_t FirstLine = 0;  // the first line it timed
};

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

TSourceWalk WalkSourceTimes(TLineReader& file, int64_t c, int currentYear, TScanState& st, TLogList& list,
                            TProgressSink& sink, bool& stopRequested, TTimeSource& source, int64_t& failedLine) {
  const int64_t n = file.LineCount();
  TSourceEntries tags{st, {}, false, 0}, stations{st, {}, false, 0};
  TSourceReader reader;
  reader.CurrentYear = currentYear;
  int64_t f = 0;
  if (!file.Seek(0)) {
    failedLine = 0;
    return TSourceWalk::ReadFailed;
  }
  for (; f < n; ++f) {
    std::string_view line;
    if (!file.Next(line)) {
      failedLine = f;
      return TSourceWalk::ReadFailed;
    }
    const TSourceTimes got = SourceLineTimes(reader, line);
    if (got.GpsTime) return TSourceWalk::GpsTime;
    if (got.Stamped) Meet(tags, c, f, got.StampSeconds);
    if (got.Station) Meet(stations, c, f, got.StationSeconds);
    sink.SetBarPosition(TBar::Load, f + 1);
    sink.ProcessMessages();
    if (sink.StopKeyPressed()) stopRequested = true;
    if (stopRequested) break;
  }
  // A recording whose lines carry a time only here and there is timed better by the
  // base stations when they begin to time it sooner.
  const bool byTags = tags.Found && (!stations.Found || tags.FirstLine <= stations.FirstLine);
  TSourceEntries* chosen = byTags ? &tags : stations.Found ? &stations : nullptr;
  if (chosen == nullptr) return TSourceWalk::NoTimes;
  source = byTags ? TTimeSource::TagBlocks : TTimeSource::BaseStations;
  WriteEntry(chosen->Entries, chosen->State, chosen->State.T, c, f < n ? f : n - 1);
  list.insert(list.end(), chosen->Entries.begin(), chosen->Entries.end());
  st = chosen->State;
  return TSourceWalk::Found;
}

}  // namespace pelorin
