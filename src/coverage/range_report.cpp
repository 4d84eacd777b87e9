#include "coverage/range_report.h"

#include <cstdio>

#include "codec/point_texts.h"

namespace pelorin {

std::string RangeLine(const TShipList& ships, int bearing, const TRangeBin& bin) {
  std::string line = std::to_string(bearing) + "\t";
  if (!bin.Heard) return line + "\t\t";
  char nm[32];
  std::snprintf(nm, sizeof nm, "%.2f", bin.MaxNM);
  char time[20];
  const bool timed = TimeStampChars(SecondsToTDateTime(bin.Seconds), time);
  return line + nm + "\t" + std::string(ships[bin.Entry].MMSI) + "\t" + (timed ? std::string(time, sizeof time) : "");
}

}  // namespace pelorin
