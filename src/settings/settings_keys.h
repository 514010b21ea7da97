#pragma once

namespace velmora::keys {

// The names of the stored option values, one per field of ConverterSettings.
inline constexpr const char* kFolder = "Folder";
inline constexpr const char* kDestOutputFolderOpt = "DestOutputFolderOpt";
inline constexpr const char* kDestSpecifiedFolder = "DestSpecifiedFolder";
inline constexpr const char* kCreateDirs = "CreateDirs";
inline constexpr const char* kBrowseOutputFolder = "BrowseOutputFolder";
inline constexpr const char* kAutoDestMP3EncodingParam = "AutoDestMP3EncodingParam";
inline constexpr const char* kMP3BitRate = "MP3BitRate";
inline constexpr const char* kMP3SampleRate = "MP3SampleRate";
inline constexpr const char* kMP3ChannelMode = "MP3ChannelMode";
inline constexpr const char* kAutoDestWAVEncodingParam = "AutoDestWAVEncodingParam";
inline constexpr const char* kWAVBitsPerSample = "WAVBitsPerSample";
inline constexpr const char* kWAVSampleRate = "WAVSampleRate";
inline constexpr const char* kWAVChannelNum = "WAVChannelNum";
inline constexpr const char* kAddID3Tag = "AddID3Tag";
inline constexpr const char* kID3Tag = "ID3Tag";
inline constexpr const char* kAmplifyMp3 = "AmplifyMp3";
inline constexpr const char* kAmplifyMp3Coeff = "AmplifyMp3Coeff";
inline constexpr const char* kAmplifyWav = "AmplifyWav";
inline constexpr const char* kAmplifyWavCoeff = "AmplifyWavCoeff";
inline constexpr const char* kWAVLossless = "WAVLossless";
inline constexpr const char* kMP3VbrQuality = "MP3VbrQuality";
inline constexpr const char* kMP3Gapless = "MP3Gapless";
inline constexpr const char* kCopyTags = "CopyTags";
inline constexpr const char* kOutputNamePattern = "OutputNamePattern";
inline constexpr const char* kLoudnessMode = "LoudnessMode";
inline constexpr const char* kLoudnessTarget = "LoudnessTarget";
inline constexpr const char* kLoudnessAlbum = "LoudnessAlbum";
inline constexpr const char* kLoudnessCeiling = "LoudnessCeiling";
inline constexpr const char* kFlacLevel = "FlacLevel";
inline constexpr const char* kFlacKeepChunks = "FlacKeepChunks";
inline constexpr const char* kOpusBitRate = "OpusBitRate";
inline constexpr const char* kOpusVbr = "OpusVbr";
inline constexpr const char* kVerifyOutput = "VerifyOutput";
inline constexpr const char* kCopyCompanions = "CopyCompanions";

}  // namespace velmora::keys
