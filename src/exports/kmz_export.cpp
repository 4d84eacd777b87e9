// KMZ for Google Earth: the KML document's label placemarks, and one animated gx:Track
// per vessel and stretch instead of a placemark per point. doc.kml is written by a
// thread of its own into a pipe while libzip compresses what comes out of it on this one.
#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>

#include "codec/point_texts.h"
#include "exports/export_formats.h"
#include "exports/export_text.h"
#include "output/kml_writer.h"

namespace pelorin {

namespace {

// Level 1: three times the speed of the default for a tenth more bytes on this text.
constexpr int kDeflateLevel = 1;
constexpr int kPipeBytes = 1 << 20;

struct TTrackStyle {
  std::string_view Id, Color;
};
constexpr TTrackStyle kTrackStyles[] = {
    {"track-red", "ff0000ff"}, {"track-orange", "ff00aaff"}, {"track-yellow", "ff00ffff"}};

std::string_view TrackStyleOf(const TExportVessel& v) {
  switch (VesselKindOf(*v.Ship, v.Own)) {
    case TVesselKind::Own: return kTrackStyles[0].Id;
    case TVesselKind::Sart: return kTrackStyles[1].Id;
    case TVesselKind::Other: break;
  }
  return kTrackStyles[2].Id;
}

// The writing side: shared with the compressing side through atomics only.
struct TDocumentJob {
  const TExportSet* Set = nullptr;
  std::atomic<int64_t> Stepped{0};  // points written, for the bar
  std::atomic<bool> Stop{false};
  std::exception_ptr Failure;
};

void WriteHead(TKmlFile& file) {
  file.WriteLine("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  file.WriteLine("<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">");
  file.WriteLine("  <Document>");
  file.WriteLine("    <name> AIS tracks </name>");
  file.WriteLine("    <open>1</open>");
  WriteKmlStyles(file);
  std::string line;
  for (const TTrackStyle& style : kTrackStyles) {
    line = "    <Style id=\"";
    line += style.Id;
    line += "\"><IconStyle><color>";
    line += style.Color;
    line += "</color><scale>0.5</scale><Icon><href>http://maps.google.com/mapfiles/kml/shapes/sailing.png</href>"
            "</Icon></IconStyle><LineStyle><color>";
    line += style.Color;
    line += "</color><width>2</width></LineStyle></Style>";
    file.WriteLine(line);
  }
  file.WriteLine("    <Schema id=\"point-values\">");
  file.WriteLine("      <gx:SimpleArrayField name=\"speed\" type=\"float\"><displayName>Speed (kn)</displayName>"
                 "</gx:SimpleArrayField>");
  file.WriteLine("      <gx:SimpleArrayField name=\"course\" type=\"float\"><displayName>COG (deg)</displayName>"
                 "</gx:SimpleArrayField>");
  file.WriteLine("      <gx:SimpleArrayField name=\"heading\" type=\"int\"><displayName>True heading (deg)"
                 "</displayName></gx:SimpleArrayField>");
  file.WriteLine("    </Schema>");
}

enum class TColumn { When, Coord, Speed, Course, Heading };

void AppendColumn(std::string& line, TColumn column, const TPlacedPoint& p) {
  const TDynamic& point = *p.Point;
  switch (column) {
    case TColumn::When:
      line += "<when>";
      AppendUtcTime(line, p.Seconds, true);
      line += "</when>";
      return;
    case TColumn::Coord:
      line += "<gx:coord>";
      AppendDegrees(line, p.Lon);
      line += ' ';
      AppendDegrees(line, p.Lat);
      line += " 0</gx:coord>";
      return;
    case TColumn::Speed:
      line += "<gx:value>";
      if (const int sog = SpeedTenths(point); sog >= 0) AppendTenths(line, sog);
      break;
    case TColumn::Course:
      line += "<gx:value>";
      if (const int cog = CourseTenths(point); cog >= 0) AppendTenths(line, cog);
      break;
    case TColumn::Heading:
      line += "<gx:value>";
      if (point.TH_Degrees < 360) AppendInt(line, point.TH_Degrees);
      break;
  }
  line += "</gx:value>";
}

void WriteColumn(TKmlFile& file, TColumn column, const TPlacedPoints& points, size_t begin, size_t end,
                 std::string& line) {
  for (size_t k = begin; k < end; ++k) {
    line.clear();
    AppendColumn(line, column, points[k]);
    file.WriteLine(line);
  }
}

void WriteTrackPlacemark(TKmlFile& file, const TExportVessel& v, const TPlacedPoints& points, std::string& line) {
  line = "      <Placemark>\r\n        <name>";
  KmlEscape(line, VesselTitle(*v.Ship));
  line += "</name>\r\n        <description>";
  KmlEscape(line, VesselSummary(*v.Ship));
  line += "</description>\r\n        <styleUrl>#";
  line += TrackStyleOf(v);
  line += "</styleUrl>\r\n        <gx:MultiTrack>\r\n          <altitudeMode>clampToGround</altitudeMode>"
          "<gx:interpolate>0</gx:interpolate>";
  file.WriteLine(line);
  ForEachStretch(points, [&](size_t begin, size_t end) {
    file.WriteLine("          <gx:Track>");
    // Google Earth wants every <when> before the first <gx:coord>.
    WriteColumn(file, TColumn::When, points, begin, end, line);
    WriteColumn(file, TColumn::Coord, points, begin, end, line);
    file.WriteLine("            <ExtendedData><SchemaData schemaUrl=\"#point-values\">");
    constexpr std::pair<TColumn, std::string_view> kValues[] = {
        {TColumn::Speed, "speed"}, {TColumn::Course, "course"}, {TColumn::Heading, "heading"}};
    for (const auto& [column, name] : kValues) {
      line = "              <gx:SimpleArrayData name=\"";
      line += name;
      line += "\">";
      file.WriteLine(line);
      WriteColumn(file, column, points, begin, end, line);
      file.WriteLine("              </gx:SimpleArrayData>");
    }
    file.WriteLine("            </SchemaData></ExtendedData>");
    file.WriteLine("          </gx:Track>");
  });
  file.WriteLine("        </gx:MultiTrack>");
  file.WriteLine("      </Placemark>");
}

void WriteDocument(TKmlFile& file, TDocumentJob& job) {
  WriteHead(file);
  WriteLabelsFolderStart(file);
  for (const TExportVessel& v : job.Set->Vessels)
    if (KmlShowsLabel(*v.Ship)) WriteShipLabel(file, *v.Ship, v.Own);
  WriteLabelsFolderEnd(file);
  WriteTracksFolderStart(file);
  TPlacedPoints points;
  std::string line;
  for (const TExportVessel& v : job.Set->Vessels) {
    if (job.Stop.load(std::memory_order_relaxed)) throw TExportStopped{};
    PlacedPointsOf(v.Ship->aPlot, points);
    if (!points.empty()) WriteTrackPlacemark(file, v, points, line);
    job.Stepped.fetch_add(static_cast<int64_t>(v.Ship->aPlot.size()), std::memory_order_relaxed);
  }
  WriteTracksFolderEnd(file);
  WriteKmlFooter(file);
}

// The reading side: libzip's source, on the thread that calls zip_close.
struct TPipeSource {
  int Fd = -1;
  TDocumentJob* Job = nullptr;
  TExportProgress* Progress = nullptr;
  bool Stopped = false;
  zip_error_t Error{};
};

zip_int64_t ReadPipe(TPipeSource& s, void* data, zip_uint64_t length) {
  if (!s.Stopped) {
    try {
      Advance(*s.Progress, s.Job->Stepped.load(std::memory_order_relaxed) - s.Progress->Done);
    } catch (const TExportStopped&) {
      // The writer is told and the pipe drained, so that it never blocks on a full pipe.
      s.Stopped = true;
      s.Job->Stop = true;
    }
  }
  for (;;) {
    const ssize_t n = ::read(s.Fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      zip_error_set(&s.Error, ZIP_ER_READ, errno);
      return -1;
    }
    if (n == 0 && s.Stopped) {
      zip_error_set(&s.Error, ZIP_ER_CANCELLED, 0);
      return -1;
    }
    return n;
  }
}

zip_int64_t PipeCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  TPipeSource& s = *static_cast<TPipeSource*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
      return 0;
    case ZIP_SOURCE_READ:
      return ReadPipe(s, data, length);
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->mtime = time(nullptr);
      st->valid |= ZIP_STAT_MTIME;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&s.Error, data, length);
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      zip_error_set(&s.Error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

std::string ZipMessage(zip_t* archive) { return zip_strerror(archive); }

// The writer thread: the document into the pipe, which it closes whatever happens.
void RunWriter(int fd, TDocumentJob& job) {
  TKmlFile file;
  try {
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
      ::close(fd);
      throw TExportError(std::string("cannot start the document: ") + std::strerror(errno));
    }
    file.Adopt(stream);
    WriteDocument(file, job);
    file.Close();
  } catch (...) {
    job.Failure = std::current_exception();
    try {
      file.Close();
    } catch (...) {
    }
  }
}

}  // namespace

void WriteKmzExport(const std::string& target, const TExportSet& set, TExportProgress& progress) {
  const std::string staged = StagedPath(target);
  int error = 0;
  zip_t* archive = zip_open(staged.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) {
    zip_error_t e;
    zip_error_init_with_code(&e, error);
    const std::string message = zip_error_strerror(&e);
    zip_error_fini(&e);
    throw TExportError("cannot write " + target + ": " + message);
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    zip_discard(archive);
    throw TExportError(std::string("cannot write ") + target + ": " + std::strerror(errno));
  }
  ::fcntl(fds[0], F_SETPIPE_SZ, kPipeBytes);  // fewer switches between the threads; optional

  TDocumentJob job;
  job.Set = &set;
  TPipeSource source{fds[0], &job, &progress};
  zip_error_init(&source.Error);
  std::thread writer(RunWriter, fds[1], std::ref(job));

  bool added = false;
  if (zip_source_t* src = zip_source_function(archive, PipeCallback, &source)) {
    const zip_int64_t index = zip_file_add(archive, "doc.kml", src, ZIP_FL_ENC_UTF_8);
    if (index >= 0) {
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, kDeflateLevel);
      added = true;
    } else {
      zip_source_free(src);
    }
  }
  std::string message;
  const bool closed = added && zip_close(archive) == 0;
  if (!closed) {
    message = ZipMessage(archive);
    zip_discard(archive);
    job.Stop = true;
    // Drained, not closed: writing into a closed pipe would raise SIGPIPE in the writer.
    char sink[65536];
    while (::read(fds[0], sink, sizeof sink) > 0) {
    }
  }
  writer.join();
  ::close(fds[0]);
  zip_error_fini(&source.Error);
  if (job.Failure || !closed) {
    RemoveQuietly(staged);
    if (source.Stopped) throw TExportStopped{};
    if (!closed) throw TExportError("cannot write " + target + ": " + message);
    {
      try {
        std::rethrow_exception(job.Failure);
      } catch (const TExportStopped&) {
        throw;
      } catch (const std::exception& e) {
        throw TExportError("cannot write " + target + ": " + e.what());
      }
    }
  }
  CommitStaged(target);
}

}  // namespace pelorin
