#include "support/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "catalogue/log_read.h"
#include "codec/ais_tables.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pelorin::test {

std::filesystem::path SharedDir() {
  std::filesystem::path dir(PELORIN_SHARED_DIR);
  std::error_code ec;
  if (std::filesystem::is_directory(dir / "data", ec) || std::filesystem::is_directory(dir / "golden", ec))
    return dir;
  return {};
}

std::string WithChecksum(const std::string& body) {
  unsigned sum = 0;
  for (size_t i = 1; i < body.size(); ++i) sum ^= static_cast<unsigned char>(body[i]);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return body + tail;
}

TSplitReport SplitAccount(const std::vector<std::string>& lines) {
  TSplitReport split;
  size_t at = lines.size();
  for (size_t i = 1; i < lines.size(); ++i)
    if (lines[i].rfind("Lines read : ", 0) == 0 && lines[i - 1] == std::string(40, '=')) at = i;
  if (at == lines.size()) {
    split.Report = lines;
    return split;
  }
  size_t end = at + 1;
  while (end < lines.size() && lines[end].rfind("-", 0) == 0) ++end;
  split.Report.assign(lines.begin(), lines.begin() + static_cast<long>(at - 1));
  split.Report.insert(split.Report.end(), lines.begin() + static_cast<long>(end), lines.end());
  split.Account.assign(lines.begin() + static_cast<long>(at), lines.begin() + static_cast<long>(end));
  return split;
}

TAccountSum SumAccount(const std::vector<std::string>& account) {
  TAccountSum sum;
  for (const std::string& line : account) {
    const size_t colon = line.find(" : ");
    if (colon == std::string::npos) continue;
    const std::string counts = line.substr(colon + 3);
    if (line.rfind("Lines read", 0) == 0) {
      sum.LinesRead = std::stoll(counts);
    } else if (line[0] != '-') {
      continue;  // the lines' own times, beside the outcomes
    } else if (line.rfind("-Lines not read", 0) == 0) {
      sum.NotRead = std::stoll(counts);
    } else if (line.rfind("-Message types not used", 0) == 0) {
      // "4 (8640), 21 (12)": the numbers in brackets
      for (size_t open = counts.find('('); open != std::string::npos; open = counts.find('(', open + 1))
        sum.Outcomes += std::stoll(counts.substr(open + 1));
    } else {
      sum.Outcomes += std::stoll(counts);
    }
  }
  return sum;
}

std::filesystem::path SourceDir() { return std::filesystem::path(PELORIN_SOURCE_DIR); }

TTempDir::TTempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("pelorin-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch directory");
}

TTempDir::~TTempDir() {
  std::error_code ec;
  // Tests may remove permissions; give them back so the tree can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TTempDir::Write(const std::string& name, std::string_view content) const {
  auto path = path_ / name;
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

namespace {
struct {
  dev_t Device = 0;
  ino_t Inode = 0;
  uint64_t From = 0;
} gFault;

ssize_t FaultyRead(int fd, void* into, size_t want, off_t offset) {
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_dev == gFault.Device && st.st_ino == gFault.Inode &&
      static_cast<uint64_t>(offset) + want > gFault.From) {
    errno = EIO;
    return -1;
  }
  return ::pread(fd, into, want, offset);
}
}  // namespace

TReadFault::TReadFault(const std::filesystem::path& path, uint64_t from) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  gFault = {st.st_dev, st.st_ino, from};
  SetLogReadFunction(&FaultyRead);
}

TReadFault::~TReadFault() { SetLogReadFunction(nullptr); }

void WriteFileBytes(const std::filesystem::path& path, std::string_view content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(content.data(), static_cast<std::streamsize>(content.size()));
}

void AppendFileBytes(const std::filesystem::path& path, std::string_view content) {
  std::ofstream(path, std::ios::binary | std::ios::app).write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string KmlEscaped(std::string_view value) {
  std::string out;
  KmlEscape(out, value);
  return out;
}

bool PassText(TAnalysisState& state, std::string_view text, TDateTime Start, TDateTime End, bool Continue,
              const TLogPassOptions& options, TProgressSink& sink) {
  const TTempDir dir;
  const std::string path = dir.Write("PASS.LOG", text).string();
  TLineReader lines;
  if (!lines.Open(path) || !lines.Index()) return false;
  return ReadLogFile(state, path, 0, lines.LineCount() - 1, Start, End, Continue, options, sink);
}

namespace {
bool Number(const std::string& text, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size();
}
int32_t RawOf(const std::string& text, int limit) {
  double v = 0;
  return Number(text, v) && std::fabs(v) <= limit ? static_cast<int32_t>(std::llround(v * 600000)) : (limit + 1) * 600000;
}
uint16_t TenthsOf(const std::string& text, uint16_t none) {
  double v = 0;
  return Number(text, v) && v >= 0 && v * 10 < none ? static_cast<uint16_t>(std::llround(v * 10)) : none;
}
}  // namespace

void AppendPoint(TTrack& track, const TPointStrings& t) {
  TDynamic& p = track.emplace_back();
  double mmsi = 0;
  p.MMSI_Number = Number(t.MMSI, mmsi) ? static_cast<uint32_t>(mmsi) : 0;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  TDateTime time = 0;
  if (std::sscanf(t.TimeStampStr.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ", &y, &mo, &d, &h, &mi, &sec) == 6)
    TryEncodeDateTime(y, mo, d, h, mi, sec, time);
  char own[20];
  const bool odd = !TimeStampChars(time, own) || std::string_view(own, 20) != t.TimeStampStr;
  TPointExtra extra;
  const bool fix = t.MMSI == "111111111";
  p.Lon_Raw = RawOf(t.Lon, 180);
  p.Lat_Raw = RawOf(t.Lat, 90);
  p.SOG_Tenths = fix ? TenthsOf(t.Speed, 0xFFFF) : TenthsOf(t.Speed, 1023);
  p.COG_Tenths = fix ? TenthsOf(t.COG, 0xFFFF) : TenthsOf(t.COG, 3600);
  if (fix) {
    p.MsgType = kOwnShipFix;
    extra.Speed = t.Speed, extra.COG = t.COG, extra.Lon = t.Lon, extra.Lat = t.Lat;
  } else {
    p.MsgType = t.NavStatus.empty() ? 18 : 1;
    for (unsigned code = 0; code < 16; ++code)
      if (NavStatusText(code) == t.NavStatus) p.NavStatusCode = static_cast<uint8_t>(code);
    double th = 0;
    p.TH_Degrees = Number(t.TH, th) && th >= 0 && th < 360 ? static_cast<uint16_t>(th) : 511;
  }
  if (p.MsgType == kOwnShipFix) {
    track.Extras.push_back(std::move(extra));
    p.Extra = static_cast<uint32_t>(track.Extras.size());
  }
  StampPoint(track, p, TDateTimeToSeconds(time), odd ? std::string_view(t.TimeStampStr) : std::string_view());
}

TTrack TrackOf(const std::vector<TPointStrings>& points) {
  TTrack track;
  for (const TPointStrings& p : points) AppendPoint(track, p);
  return track;
}

}  // namespace pelorin::test
