// The KML writer over a ship table that the log pass built from arbitrary input; the
// document must always be well-formed XML with one placemark per written point.
// Input: THeader, then the log text (with kOddDocName, its first line is the document name).
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/log_pass.h"
#include "catalogue/line_reader.h"
#include "fuzz_support.h"
#include "output/kml_writer.h"

using namespace pelorin;
using namespace pelorin::fuzz;

namespace {

size_t CountElements(xmlNodePtr node, const char* name) {
  size_t n = 0;
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0) ++n;
    n += CountElements(node->children, name);
  }
  return n;
}

void Silence(void*, const char*, ...) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    xmlSetGenericErrorFunc(nullptr, Silence);
    return true;
  }();
  (void)quiet;
  std::string_view body;
  const THeader h = ReadHeader(data, size, body);
  std::string docName = "/home/skipper/Pelorin/SD_Belumar.kml";
  if (h.Flags & kOddDocName) {
    const size_t eol = body.find_first_of("\r\n");
    // Any bytes a path can hold: all but NUL.
    docName.clear();
    for (char c : body.substr(0, eol))
      if (c != '\0') docName.push_back(c);
    body = eol == std::string_view::npos ? std::string_view() : body.substr(eol + 1);
  }
  std::string content(body);
  if (h.Flags & kFixChecksums) FixChecksums(content);
  static TMemFile log;
  log.Write(content);
  TLineReader lines;
  PELORIN_FUZZ_CHECK(lines.Open(log.Path()) && lines.Index(), "a memory file reads");

  TDateTime start = 0, end = 0;
  WindowOf(h, start, end);
  const bool reduced = (h.Flags & kReducedData) != 0;
  TAnalysisState state;
  TNullSink sink;
  ReadLogFile(state, log.Path(), 0, lines.LineCount() - 1, start, end, false, TLogPassOptions{&reduced, nullptr},
              sink);

  static TMemFile kml;
  {
    TKmlFile file;
    PELORIN_FUZZ_CHECK(file.Create(kml.Path()), "the document opens");
    WriteKmlHeader(file, docName, "");
    WriteKmlBody(file, state.aShipList, (h.Flags & kAllTracks) != 0, sink);
    WriteKmlFooter(file);
    file.Close();
  }
  const std::string document = kml.Read();

  // Every line ends in CR LF and holds no other line end.
  PELORIN_FUZZ_CHECK(document.size() >= 2 && document.ends_with("\r\n"), "the document ends its last line");
  for (size_t i = 0; i < document.size(); ++i) {
    if (document[i] == '\n') PELORIN_FUZZ_CHECK(i > 0 && document[i - 1] == '\r', "LF only after CR");
    if (document[i] == '\r') PELORIN_FUZZ_CHECK(i + 1 < document.size() && document[i + 1] == '\n', "CR LF");
  }

  xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "SD_Belumar.kml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
  if (doc == nullptr) {
    const xmlError* error = xmlGetLastError();
    std::fprintf(stderr, "not well-formed: %s\n", error != nullptr && error->message ? error->message : "?");
  }
  PELORIN_FUZZ_CHECK(doc != nullptr, "the KML document is well-formed XML");

  // One placemark per label and per valid point of every visited vessel.
  const size_t visited = (h.Flags & kAllTracks) ? state.aShipList.size() : std::min<size_t>(1, state.aShipList.size());
  size_t expected = 0;
  for (size_t i = 0; i < visited; ++i) {
    const TStatic& ship = state.aShipList[i];
    if (ship.aPlot.empty()) continue;
    if (!ship.MMSI.empty() && ship.MMSI != "n.a.") ++expected;
    if (ship.MMSI != "0" && ship.MMSI != "n.a.")
      for (const TDynamic& p : ship.aPlot) expected += HasValidPosition(ship.aPlot, p);
  }
  const size_t placemarks = CountElements(xmlDocGetRootElement(doc), "Placemark");
  xmlFreeDoc(doc);
  PELORIN_FUZZ_CHECK(placemarks == expected, "one placemark per label and valid point");
  return 0;
}
