#include "filelist/described_file.h"

#include "audio/aiff_reader.h"

namespace velmora {

DescribedFile DescribeFile(const std::string& path) {
  DescribedFile file;
  file.path = path;
  AiffReader reader;
  if (reader.Open(path)) {
    file.readable = true;
    file.info = reader.Info();
  }
  file.identity = GetFileIdentity(path);
  return file;
}

}  // namespace velmora
