#pragma once

#include <array>
#include <string>
#include <vector>

#include "audio/source_tags.h"
#include "convert/file_outcome.h"
#include "platform/output_file.h"
#include "settings/conversion_options.h"

struct OggOpusEnc;
struct OggOpusComments;

namespace velmora {

// Opus streams are decoded at 48 kHz whatever their source; the encoder is handed that rate only.
inline constexpr int kOpusRate = 48000;

// How a source's channels are laid out in an Opus stream: `channels` coded channels in the
// speaker order of mapping family `family` (0: mono or stereo, 1: the Vorbis orders), each taken
// from source channel `sourceOf[k]`, or silent where that is -1.
struct OpusLayout {
  int channels = 0;
  int family = 0;
  std::array<int, 8> sourceOf{};
};

// The layout for a source of AIFF's `sourceChannels` (1 to 6); channels 0 when there is none.
OpusLayout OpusLayoutFor(int sourceChannels);

// The bit rate in bit/s: the options' own, or kOpusAutoKbpsPerChannel a source channel, capped.
int OpusBitRate(const OpusOptions& options, int sourceChannels);

// Writes one Ogg Opus stream into an output file through libopusenc. Tags and pictures are
// added before Open; the stream's pre-skip and end are set by the library from the samples
// written, so a decoder gives back exactly what was handed over.
class OpusEncoder {
 public:
  OpusEncoder();
  ~OpusEncoder();
  OpusEncoder(const OpusEncoder&) = delete;
  OpusEncoder& operator=(const OpusEncoder&) = delete;

  // A comment NAME=value; empty values are left out. Without memory for it, Open fails.
  void AddComment(const std::string& name, const std::string& value);
  // A picture as METADATA_BLOCK_PICTURE. False, with nothing added, for a picture the library
  // does not recognise (JPEG, PNG and GIF are carried).
  bool AddPicture(const TagPicture& picture);

  // Starts the stream in `file` (which must outlive the encoder) in `layout`. False, with
  // Failure() saying why, when the encoder refuses it.
  bool Open(OutputFile& file, const OpusLayout& layout, int bitRate, OpusVbr vbr);
  // Hands on `frames` interleaved frames at 48 kHz in the layout's order, 1.0 = full scale.
  bool Write(const float* frames, int count);
  // Ends the stream and closes the file. False when anything failed.
  bool Close();

  FileOutcome Failure() const;

 private:
  static int WritePage(void* user, const unsigned char* data, int length);
  static int CloseStream(void* user);

  OutputFile* m_file = nullptr;
  OggOpusComments* m_comments = nullptr;
  OggOpusEnc* m_encoder = nullptr;
  int m_error = 0;  // libopusenc's, 0 for none
  bool m_failed = false;
};

}  // namespace velmora
