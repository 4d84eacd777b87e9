#include "catalogue/log_scan.h"

#include <cstring>

#include "catalogue/file_check.h"
#include "catalogue/line_reader.h"
#include "catalogue/regular_file.h"
#include "catalogue/scan_state.h"
#include "catalogue/source_scan.h"
#include "catalogue/time_stamp.h"
#include "codec/nmea.h"

namespace pelorin {

namespace {

enum class TGpsStamp { None, Stamp, ReadFailed };

// `other`: the lines are examined one after the other from the file's first, and none
// has given a GPS time yet: each is fed to the other sources as well.
TGpsStamp LineTimeStamp(TLineReader& file, int64_t index, int currentYear, TScanState& st, TDateTime& stamp,
                        TSourceScan* other, int64_t c) {
  // The tag decides whether the line is read whole: a line of any length may be passed
  // over. Every line was counted, so one that cannot be read now is a failure.
  std::string_view line;
  if (!file.LineHead(index, other != nullptr ? kLongestTimedLine + 1 : 6, line)) return TGpsStamp::ReadFailed;
  if (other != nullptr) SourceScanLine(*other, c, index, line);
  if (!NMEA_HasTag(line, "$GPRMC") && !NMEA_HasTag(line, "$ECZDA")) return TGpsStamp::None;
  if (!file.Line(index, line)) return TGpsStamp::ReadFailed;
  bool got = false;
  if (NMEA_HasTag(line, "$GPRMC"))
    got = NMEA_RMC_DateTime(line, st.Date, st.Time);
  else if (NMEA_HasTag(line, "$ECZDA"))
    got = NMEA_ZDA_DateTime(line, st.Date, st.Time);
  return got && ReadTimeStamp(st.Date, st.Time, currentYear, stamp) ? TGpsStamp::Stamp : TGpsStamp::None;
}

// A file timed by its lines' own times is searched for its days as one timed by GPS.
TGpsStamp OwnTimeStamp(TLineReader& file, int64_t index, int currentYear, TDateTime& stamp) {
  std::string_view line;
  if (!file.LineHead(index, kLongestTimedLine + 1, line)) return TGpsStamp::ReadFailed;
  int64_t seconds = 0;
  if (!LineStampSeconds(line, currentYear, seconds)) return TGpsStamp::None;
  stamp = SecondsToTDateTime(seconds);
  return TGpsStamp::Stamp;
}

// Whether the file still holds what was counted, after its search: one that shrank or
// was rewritten meanwhile gave lines that may not be those counted.
bool StillAsCounted(const TLineReader& file, const std::string& path) {
  TFileIdentity now;
  if (file.IdentityNow(now) && now == file.Identity()) return true;
  return CheckLogFile(path, file.LineIndex()).State == TFileState::Unchanged;
}

}  // namespace

TScanOutcome ScanLogFiles(TCatalogue& catalogue, TProgressSink& sink, int currentYear) {
  TScanOutcome outcome;
  TLogList& list = catalogue.LogList;
  list.clear();
  TScanState st;
  catalogue.FileIndex.clear();
  catalogue.FileTimeSource.clear();
  catalogue.ScanYear = currentYear;
  TLineReader file;
  std::string path;
  TSourceScan other;  // used again from file to file
  const auto& names = catalogue.SD_Info.FileListe;
  for (size_t fileNo = 0; fileNo < names.size(); ++fileNo) {
    const int64_t c = static_cast<int64_t>(fileNo);
    path = catalogue.SD_Info.DirectoryName + names[fileNo];
    if (!file.Open(path, &outcome.Error)) {
      outcome.Result = TScanResult::Unreadable;
      outcome.TimeStampRead = st.AnyStamp;
      return outcome;
    }
    const auto readFailed = [&](int64_t line, std::string_view reason) {
      outcome.Result = TScanResult::ReadFailed;
      outcome.Error = ReadStoppedText(names[fileNo], line, reason);
      outcome.TimeStampRead = st.AnyStamp;
      return outcome;
    };
    std::string error;
    int64_t stoppedAt = 0;
    if (!file.Index(&error, UINT64_MAX, &stoppedAt)) return readFailed(stoppedAt, FileErrorReason(error, path));
    catalogue.FileIndex.push_back(file.LineIndex());
    const int64_t n = file.LineCount();
    outcome.LastLineCount = n;
    sink.SetBarPosition(TBar::Load, 0);
    sink.SetBarMax(TBar::Load, n);
    sink.AppendDetail("Number of Lines in File[" + std::to_string(c) + "]: " + std::to_string(n));
    sink.ProcessMessages();
    TTimeSource source = TTimeSource::GpsSentences;
    if (n == 0) {
      catalogue.FileTimeSource.push_back(source);
      continue;
    }
    bool fileStamp = false, ownTimes = false;
    BeginSourceScan(other, st, currentYear);
    // Without a line that begins with "$" there is no time sentence to find: once the
    // tag blocks are known to time the file, its lines need not all be read.
    const bool noTimeSentences = !file.LineIndex().DollarLines;

    int64_t low = 0, high = n - 1, f = 0, next = 0;
    // A file timed by its own lines is searched exactly: the last stretch before a change
    // of day is read line by line, so that the new day's first line and the old day's
    // last time are found (the halving alone may step over them).
    const auto exactly = [&](int64_t halfway) {
      return ownTimes && high - low <= kLinesPerCheckpoint ? low + 1 : halfway;
    };
    for (;;) {
      TDateTime stamp = 0;
      const TGpsStamp got = ownTimes ? OwnTimeStamp(file, f, currentYear, stamp)
                                     : LineTimeStamp(file, f, currentYear, st, stamp, fileStamp ? nullptr : &other, c);
      if (got == TGpsStamp::ReadFailed)
        return readFailed(f, file.ReadErrno() != 0 ? std::strerror(file.ReadErrno()) : kChangedWhileRead);
      if (noTimeSentences && !fileStamp && other.Tags.Found && other.Tags.FirstLine == f && TagsTimeFile(other)) {
        // The lines up to here were read one by one, as the tag blocks' own reading
        // kept them (a change of day from the file before included); the rest is searched.
        ownTimes = fileStamp = true;
        st = other.Tags.State;
        list.insert(list.end(), other.Tags.Entries.begin(), other.Tags.Entries.end());
        low = f;
        next = exactly((f + high) / 2 + 1);
      } else if (got == TGpsStamp::Stamp) {
        st.AnyStamp = fileStamp = true;
        st.T = stamp;
        st.Td = static_cast<TDateTime>(TDateTimeDay(stamp));
        if (st.D == 0) {
          st.D = st.Td;
          st.S = st.E = st.T;
          low = f;
          next = (f + high) / 2;
        } else if (f >= high && (!ownTimes || st.Td != st.D)) {
          // (A time sentence on the last line of the file makes a one-line entry of its
          // day; that is kept for transponder cards, whose index users know.)
          WriteEntry(list, st, st.E, c, f - 1);
          st.L = f;
          high = n - 1;
          st.D = st.Td;
          st.S = st.E = st.T;
          next = f + 1;
        } else if (st.Td == st.D) {
          low = f;
          st.E = st.T;
          next = exactly((f + high) / 2 + 1);
        } else {
          high = f;
          next = exactly((low + f) / 2 + 1);
        }
      } else {
        next = f + 1;
      }
      sink.SetBarPosition(TBar::Load, next);
      sink.ProcessMessages();
      if (sink.StopKeyPressed()) catalogue.StopRequested = true;
      if (next == n || catalogue.StopRequested) break;
      f = next;
    }
    if (ownTimes)
      source = TTimeSource::TagBlocks;
    else if (!fileStamp)
      source = EndSourceScan(other, c, next - 1, st, list);
    if (!StillAsCounted(file, path)) return readFailed(f, kChangedWhileRead);
    catalogue.FileTimeSource.push_back(source);
    if (source == TTimeSource::GpsSentences || ownTimes) WriteEntry(list, st, st.T, c, next - 1);
    if (source != TTimeSource::GpsSentences)
      sink.AppendDetail("Time source in File[" + std::to_string(c) + "]: " + TimeSourceName(source));
    st.D = st.Td;
    st.S = st.E = st.T;
    st.L = 0;
    sink.SetBarPosition(TBar::Total, c + 1);
    if (catalogue.StopRequested) {
      outcome.Result = TScanResult::Stopped;
      break;
    }
  }
  outcome.TimeStampRead = st.AnyStamp;
  return outcome;
}

}  // namespace pelorin
