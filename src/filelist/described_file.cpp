#include "filelist/described_file.h"

#include <new>

#include "audio/aiff_reader.h"

namespace velmora {

DescribedFile DescribeFile(const std::string& path) {
  DescribedFile file;
  file.path = path;
  AiffReader reader;
  // A file that cannot get the memory to be described is listed as unreadable, alone.
  try {
    if (reader.Open(path)) {
      file.readable = true;
      file.info = reader.Info();
    }
  } catch (const std::bad_alloc&) {
    file.readable = false;
  }
  file.identity = GetFileIdentity(path);
  return file;
}

}  // namespace velmora
