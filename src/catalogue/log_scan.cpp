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
    bool fileStamp = false;
    BeginSourceScan(other, st, currentYear);

    int64_t low = 0, high = n - 1, f = 0, next = 0;
    for (;;) {
      TDateTime stamp = 0;
      const TGpsStamp got = LineTimeStamp(file, f, currentYear, st, stamp, fileStamp ? nullptr : &other, c);
      if (got == TGpsStamp::ReadFailed)
        return readFailed(f, file.ReadErrno() != 0 ? std::strerror(file.ReadErrno()) : kChangedWhileRead);
      if (got == TGpsStamp::Stamp) {
        st.AnyStamp = fileStamp = true;
        st.T = stamp;
        st.Td = static_cast<TDateTime>(TDateTimeDay(stamp));
        if (st.D == 0) {
          st.D = st.Td;
          st.S = st.E = st.T;
          low = f;
          next = (f + high) / 2;
        } else if (f >= high) {
          WriteEntry(list, st, st.E, c, f - 1);
          st.L = f;
          high = n - 1;
          st.D = st.Td;
          st.S = st.E = st.T;
          next = f + 1;
        } else if (st.Td == st.D) {
          low = f;
          st.E = st.T;
          next = (f + high) / 2 + 1;
        } else {
          high = f;
          next = (low + f) / 2 + 1;
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
    if (!fileStamp) source = EndSourceScan(other, c, next - 1, st, list);
    if (!StillAsCounted(file, path)) return readFailed(f, kChangedWhileRead);
    catalogue.FileTimeSource.push_back(source);
    if (source == TTimeSource::GpsSentences)
      WriteEntry(list, st, st.T, c, next - 1);
    else
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
