#include "convert/opus_encoder.h"

#include <opus/opusenc.h>

#include <algorithm>

#include "settings/option_limits.h"

namespace velmora {

OpusLayout OpusLayoutFor(int sourceChannels) {
  switch (sourceChannels) {
    case 1: return {1, 0, {0}};
    case 2: return {2, 0, {0, 1}};
    // AIFF's left, right, centre as Vorbis's left, centre, right.
    case 3: return {3, 1, {0, 2, 1}};
    // AIFF's four channels are quadraphonic (left, right, rear left, rear right) or left,
    // centre, right, surround, and the file does not say which. Quadraphonic is the reading
    // the loudness meter takes, and it is Vorbis's four-channel order as it stands.
    case 4: return {4, 1, {0, 1, 2, 3}};
    // AIFF's six channels (left, left centre, centre, right, right centre, surround) have no
    // low-frequency channel, while every Vorbis order of six or more has one, and the encoder
    // codes that slot at a low bandwidth: a real channel there would lose all but its bass.
    // So six channels travel as 6.1 with a silent LFE: left, centre and right in their own
    // places, the surround as the rear centre, and the left and right centre channels, which
    // have no slot, as the side pair, the nearest slots that keep them apart and whole.
    case 6: return {7, 1, {0, 2, 3, 1, 4, 5, -1}};
    default: return {};
  }
}

int OpusBitRate(const OpusOptions& options, int sourceChannels) {
  const int kbps = options.bitRate.value_or(std::min(kOpusAutoKbpsPerChannel * sourceChannels, kMaxOpusBitRate));
  return std::clamp(kbps, kMinOpusBitRate, kMaxOpusBitRate) * 1000;
}

OpusEncoder::OpusEncoder() : m_comments(ope_comments_create()) {}

OpusEncoder::~OpusEncoder() {
  if (m_encoder) ope_encoder_destroy(m_encoder);
  if (m_comments) ope_comments_destroy(m_comments);
}

void OpusEncoder::AddComment(const std::string& name, const std::string& value) {
  if (value.empty() || !m_comments || m_error) return;
  m_error = ope_comments_add(m_comments, name.c_str(), value.c_str());
}

bool OpusEncoder::AddPicture(const TagPicture& picture) {
  if (!m_comments) return false;
  return ope_comments_add_picture_from_memory(m_comments, reinterpret_cast<const char*>(picture.data.data()),
                                              picture.data.size(), picture.type, picture.description.c_str()) == OPE_OK;
}

int OpusEncoder::WritePage(void* user, const unsigned char* data, int length) {
  auto* self = static_cast<OpusEncoder*>(user);
  const bool written = self->m_file->Write(data, static_cast<std::size_t>(length));
  if (!written) self->m_failed = true;
  return written ? 0 : 1;
}

int OpusEncoder::CloseStream(void* user) {
  auto* self = static_cast<OpusEncoder*>(user);
  const bool closed = self->m_file->Close();
  if (!closed) self->m_failed = true;
  return closed ? 0 : 1;
}

bool OpusEncoder::Open(OutputFile& file, const OpusLayout& layout, int bitRate, OpusVbr vbr) {
  m_file = &file;
  if (!m_comments) m_error = OPE_ALLOC_FAIL;
  if (m_error) return false;
  const OpusEncCallbacks callbacks = {WritePage, CloseStream};
  m_encoder =
      ope_encoder_create_callbacks(&callbacks, this, m_comments, kOpusRate, layout.channels, layout.family, &m_error);
  if (!m_encoder) return false;
  const bool variable = vbr != OpusVbr::Off;
  for (const int error : {ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(bitRate)),
                          ope_encoder_ctl(m_encoder, OPUS_SET_VBR(variable ? 1 : 0)),
                          ope_encoder_ctl(m_encoder, OPUS_SET_VBR_CONSTRAINT(vbr == OpusVbr::Constrained ? 1 : 0))}) {
    if (error != OPE_OK) {
      m_error = error;
      return false;
    }
  }
  return true;
}

bool OpusEncoder::Write(const float* frames, int count) {
  if (!m_encoder || m_failed || m_error) return false;
  if (count <= 0) return true;
  m_error = ope_encoder_write_float(m_encoder, frames, count);
  return m_error == OPE_OK && !m_failed;
}

bool OpusEncoder::Close() {
  if (!m_encoder || m_failed || m_error) return false;
  m_error = ope_encoder_drain(m_encoder);
  // The library closes the stream through CloseStream; a file it left open is closed here.
  if (m_file->IsOpen() && !m_file->Close()) m_failed = true;
  return m_error == OPE_OK && !m_failed;
}

FileOutcome OpusEncoder::Failure() const {
  // A page the file did not take shows as the library's write failure; the file knows why.
  if (m_failed || (m_file && m_file->Failed())) {
    return FileOutcome::Failure(FileReason::WriteFailed, {}, m_file ? m_file->Error() : 0);
  }
  return FileOutcome::Failure(FileReason::OpusEncoderFailed, ope_strerror(m_error));
}

}  // namespace velmora
