#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "settings/option_limits.h"

namespace velmora {

// The ID3 tag as stored: 144 bytes, kept verbatim (padding included) between load and save.
// Its texts are held in Latin-1, as the ID3v1 tag holds them; the accessors speak UTF-8, and a
// character outside Latin-1 is stored as '?'. A text set in this run is also kept as given, in
// UTF-8, beside the stored bytes (never stored itself), so that tags able to hold any character
// get the text as typed.
struct Id3TagRecord {
  static constexpr std::size_t kBytes = 144;
  std::array<std::uint8_t, kBytes> bytes{};

  Id3TagRecord();  // TitleFromFileName 1, every text empty, Genre 255

  bool TitleFromFileName() const;
  void SetTitleFromFileName(bool on);
  std::string Title() const { return Text(kTitle, 32); }
  std::string Artist() const { return Text(kArtist, 32); }
  std::string Album() const { return Text(kAlbum, 32); }
  std::string Year() const { return Text(kYear, 8); }
  std::string Comment() const { return Text(kComment, 32); }
  std::uint8_t Genre() const { return bytes[kGenre]; }
  // Each text is cut to its field size minus one (in Latin-1 bytes, one a character) and stays
  // NUL-terminated.
  void SetTitle(const std::string& text) { SetText(kTitle, 32, text); }
  void SetArtist(const std::string& text) { SetText(kArtist, 32, text); }
  void SetAlbum(const std::string& text) { SetText(kAlbum, 32, text); }
  void SetYear(const std::string& text) { SetText(kYear, 8, text); }
  void SetComment(const std::string& text) { SetText(kComment, 32, text); }
  void SetGenre(std::uint8_t genre) { bytes[kGenre] = genre; }

  // The same stored bytes and the same texts.
  bool operator==(const Id3TagRecord& other) const;

 private:
  static constexpr std::size_t kTitle = 4, kArtist = 36, kAlbum = 68, kYear = 100, kComment = 108, kGenre = 140;
  static constexpr std::size_t kTextOffsets[] = {kTitle, kArtist, kAlbum, kYear, kComment};
  static std::size_t Slot(std::size_t offset);  // the text field's index in kTextOffsets
  std::string Text(std::size_t offset, std::size_t size) const;
  void SetText(std::size_t offset, std::size_t size, const std::string& text);

  // The UTF-8 texts last set, by field; one counts only while the bytes still hold its
  // Latin-1 form (loading the record replaces the bytes alone).
  std::array<std::string, std::size(kTextOffsets)> m_typed;
};

// Every user option, each field named after its stored value.
struct ConverterSettings {
  std::string Folder;
  std::int32_t DestOutputFolderOpt = kOutputFolderSameAsSource;
  std::string DestSpecifiedFolder;
  std::int32_t CreateDirs = 0;
  std::int32_t BrowseOutputFolder = 1;
  std::int32_t AutoDestMP3EncodingParam = 1;
  std::int32_t MP3BitRate = 128;
  std::int32_t MP3SampleRate = 44100;
  std::int32_t MP3ChannelMode = kMp3ModeJointStereo;
  std::int32_t AutoDestWAVEncodingParam = 1;
  std::int32_t WAVBitsPerSample = 16;
  std::int32_t WAVSampleRate = 44100;
  std::int32_t WAVChannelNum = 2;
  std::int32_t AddID3Tag = 0;
  Id3TagRecord ID3Tag;
  std::int32_t AmplifyMp3 = 0;
  std::int32_t AmplifyMp3Coeff = 100;
  std::int32_t AmplifyWav = 0;
  std::int32_t AmplifyWavCoeff = 100;
  // Options Velmora added later: WAV at the source's own resolution, channels and rate; MP3 at
  // a variable bit rate (LAME's V0..V9, or kMp3ConstantBitRate) and with the gapless
  // information frame; the source's tags copied into the output; the pattern that names each
  // output ("{name}", the source's own name, by default).
  std::int32_t WAVLossless = 0;
  std::int32_t MP3VbrQuality = kMp3ConstantBitRate;
  std::int32_t MP3Gapless = 0;
  std::int32_t CopyTags = 1;
  std::string OutputNamePattern = "{name}";
  // Loudness: the mode (kLoudnessOff, kLoudnessReplayGain, kLoudnessNormalize), the target of
  // normalisation in LUFS, whether the files of one source folder count as one album, and the
  // true-peak ceiling of normalisation in tenths of a dBTP. Normalisation takes the place of
  // the gain coefficients.
  std::int32_t LoudnessMode = kLoudnessOff;
  std::int32_t LoudnessTarget = kDefaultLoudnessTarget;
  std::int32_t LoudnessAlbum = 0;
  std::int32_t LoudnessCeiling = kDefaultTruePeakCeilingTenths;
  // FLAC: the compression level, and whether the source's AIFF chunks travel in the file so
  // that it can be restored whole. Opus: the bit rate (kOpusBitRateAuto: by channel count) and
  // its control (kOpusVbrOn, kOpusVbrConstrained, kOpusVbrOff). Every output read back before
  // it takes its name.
  std::int32_t FlacLevel = kDefaultFlacLevel;
  std::int32_t FlacKeepChunks = 1;
  std::int32_t OpusBitRate = kOpusBitRateAuto;
  std::int32_t OpusVbr = kOpusVbrOn;
  std::int32_t VerifyOutput = 0;
  // The covers, booklets and notes beside each source copied into the folder of its outputs.
  std::int32_t CopyCompanions = 0;

  bool operator==(const ConverterSettings&) const = default;
};

}  // namespace velmora
