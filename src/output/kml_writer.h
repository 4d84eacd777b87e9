#pragma once
// The KML 2.2 document for the globe viewer: label placemarks and time-stamped tracks.
// Streams line by line; holds nothing of the document in memory.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "codec/ais_records.h"
#include "codec/point_texts.h"
#include "codec/vessel_rules.h"
#include "platform/progress_sink.h"

namespace pelorin {

// A failed write of a document line.
class TKmlWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// KmlFile: the open document. Buffered; every line ends in CR LF. Write errors surface as
// TKmlWriteError at the latest on Close().
class TKmlFile {
 public:
  TKmlFile() = default;
  ~TKmlFile();
  TKmlFile(const TKmlFile&) = delete;
  TKmlFile& operator=(const TKmlFile&) = delete;

  // Creates or truncates `path`. False (with errno set) when it cannot be created.
  bool Create(const std::string& path);
  // Writes to `stream` (a pipe, say) and closes it; false for null.
  bool Adopt(std::FILE* stream);
  bool IsOpen() const { return stream_ != nullptr; }
  // Flushes and closes; throws TKmlWriteError when anything failed to reach the file.
  void Close();
  // Writes parts then CR LF; throws TKmlWriteError at once when the write fails.
  void WriteLine(std::string_view text);
  std::FILE* Stream() const { return stream_; }

 private:
  std::FILE* stream_ = nullptr;
  std::unique_ptr<char[]> buffer_;  // stdio buffer of a created file; outlives the stream
};

// Values inserted into the document: "&", "<", ">" and the double quote as entities, CR
// and LF as character references, and any byte that is no XML character (controls,
// broken UTF-8) as U+FFFD.
// Appended to `out`.
void KmlEscape(std::string& out, std::string_view value);
// Length of the well-formed UTF-8 sequence of an XML character starting at `i`; 0 when the
// bytes there are not one (a card's Latin-1 file name, garbage in a sentence field).
size_t XmlCharLength(std::string_view text, size_t i);

void WriteKmlLine(TKmlFile& file, std::string_view line);
void WriteKmlHeader(TKmlFile& file, std::string_view documentName, std::string_view description);
// Vessels the filter leaves out are not written.
void WriteKmlBody(TKmlFile& file, const TShipList& ships, bool AllTracks, TProgressSink& sink,
                  const TVesselFilter& filter = TVesselFilter{});
void WriteKmlFooter(TKmlFile& file);
// The label and point styles (ship-icon-red, sart-icon-orange, ...), part of the header.
void WriteKmlStyles(TKmlFile& file);

void WriteLabelsFolderStart(TKmlFile& file);
void WriteLabelsFolderEnd(TKmlFile& file);
void WriteTracksFolderStart(TKmlFile& file);
void WriteTracksFolderEnd(TKmlFile& file);
void WriteShipLabel(TKmlFile& file, const TStatic& ship, bool ownVessel);
void WriteTrackFolderStart(TKmlFile& file, const TStatic& ship);
void WriteTrackFolderEnd(TKmlFile& file);
void WriteTrackPoint(TKmlFile& file, const TPointTexts& point, bool ownVessel, std::string_view ordinal,
                     std::string_view shipName);

}  // namespace pelorin
