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
    } else {
      file.error = reader.Error();
      file.errorDetail = reader.ErrorDetail();
    }
  } catch (const std::bad_alloc&) {
    file.readable = false;
    file.error = AiffError::CannotMap;
  }
  file.identity = GetFileIdentity(path);
  return file;
}

}  // namespace velmora
