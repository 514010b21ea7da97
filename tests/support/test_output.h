#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/output_file.h"

namespace velmora::test {

// An output file for a writer under test: created under a temporary name next to `path`, and
// given that name by Publish() once the writer has closed it.
struct TestOutput {
  explicit TestOutput(std::string finalPath) : path(std::move(finalPath)) { EXPECT_TRUE(file.CreateTemporary(path)); }
  bool Publish() { return file.Publish(path) == OutputFile::PublishResult::Published; }

  std::string path;
  OutputFile file;
};

}  // namespace velmora::test
