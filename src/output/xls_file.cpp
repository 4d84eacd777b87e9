#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "output/compound_file.h"
#include "output/xls_workbook.h"

namespace pelorin {

void WriteXlsFile(const std::string& path, const TXlsSheet& sheet) {
  const std::string file = BuildCompoundFile(u"Workbook", BuildBiff8Stream(sheet));

  // Beside the target, so that the rename is atomic and a failed write leaves no torn file.
  std::random_device seed;
  const std::string temp = path + ".tmp" + std::to_string(seed() % 1000000);
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (out == nullptr)
    throw TXlsWriteError("Cannot create \"" + temp + "\": " + std::strerror(errno));
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) {
    const int reason = !written ? writeErrno : errno;
    std::remove(temp.c_str());
    throw TXlsWriteError("Cannot write \"" + path + "\": " + std::strerror(reason));
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::remove(temp.c_str());
    throw TXlsWriteError("Cannot save \"" + path + "\": " + error.message());
  }
}

}  // namespace pelorin
