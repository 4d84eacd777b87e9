#pragma once
// A compound document file (OLE2, version 3, 512-byte sectors) holding one stream.
#include <string>
#include <string_view>

namespace pelorin {

// The whole file with `stream` stored under `streamName` below the root. Streams shorter
// than the 4096-byte mini-stream cutoff are padded with zeros to it.
std::string BuildCompoundFile(std::u16string_view streamName, std::string_view stream);

}  // namespace pelorin
