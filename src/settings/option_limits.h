#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velmora {

// The values an option may take, for the option pages, the command line and the engine alike.

// Where output files go.
inline constexpr std::int32_t kOutputFolderSameAsSource = 199;
inline constexpr std::int32_t kOutputFolderSpecified = 299;

// Channel modes, numbered as the MP3 encoder library numbers them.
inline constexpr std::int32_t kMp3ModeStereo = 0;
inline constexpr std::int32_t kMp3ModeJointStereo = 1;
inline constexpr std::int32_t kMp3ModeMono = 3;

// Amplification in percent; 100 leaves the sound unchanged.
inline constexpr std::int32_t kMinGainPercent = 10;
inline constexpr std::int32_t kMaxGainPercent = 3000;
inline constexpr std::int32_t kUnityGainPercent = 100;
// The gain spin moves in steps of this many percent.
inline constexpr std::int32_t kGainStepPercent = 10;

// The MP3 bit rates offered, in kbit/s, and the sample rates an MP3 stream can carry, in Hz.
inline constexpr std::array<int, 18> kMp3BitRates = {8,  16,  24,  32,  40,  48,  56,  64,  80,
                                                      96, 112, 128, 144, 160, 192, 224, 256, 320};
inline constexpr std::array<int, 9> kMp3SampleRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

// True when an MP3 stream at `hz` can carry `kbps` exactly: 8 to 64 kbit/s below 16 kHz, 8 to
// 160 up to 24 kHz, and 32 to 320 above (where 144 does not exist). Other pairs would be
// silently replaced by the encoder.
bool Mp3BitRateFitsRate(int kbps, int hz);
// The bit rates of kMp3BitRates that fit `hz`, in order.
std::vector<int> Mp3BitRatesForRate(int hz);
// The rate of kMp3SampleRates nearest to `hz`.
int NearestMp3SampleRate(int hz);
// The pairing rule of a bit rate and a sample rate. The sample rate to pair with `kbps`: `hz`
// itself when a stream can carry the pair, else the nearest of kMp3SampleRates that can (a low
// bit rate pulls a high rate down to 24000 Hz, a high bit rate lifts a low rate to 16000 or
// 32000 Hz).
int Mp3RateForBitRate(int kbps, int hz);
// The bit rate to pair with `hz` by the same rule: `kbps` itself when it is offered and fits,
// else the nearest of kMp3BitRates that fits (the lower one where two are equally near).
int Mp3BitRateForRate(int hz, int kbps);

// The WAV sample rates offered by the option page, in Hz, and the widths the WAV writer makes.
inline constexpr std::array<int, 12> kWavSampleRates = {6000,  8000,  11025, 12000, 16000, 22050,
                                                         24000, 32000, 44100, 48000, 88200, 96000};
inline constexpr std::array<int, 2> kWavBitWidths = {8, 16};
// The WAV rates a user may type on the command line.
inline constexpr int kMinWavSampleRate = 1000;
inline constexpr int kMaxWavSampleRate = 192000;

// MP3VbrQuality: constant bit rate, or LAME's variable-bit-rate quality V0 (best) to V9.
inline constexpr std::int32_t kMp3ConstantBitRate = -1;
inline constexpr std::int32_t kMp3BestVbrQuality = 0;
inline constexpr std::int32_t kMp3LowestVbrQuality = 9;

// Loudness: off, ReplayGain tags, or normalisation to a target loudness in whole LUFS, with
// the true peak held at or below a ceiling in tenths of a dBTP (-10 is -1.0 dBTP).
inline constexpr std::int32_t kLoudnessOff = 0;
inline constexpr std::int32_t kLoudnessReplayGain = 1;
inline constexpr std::int32_t kLoudnessNormalize = 2;
inline constexpr std::int32_t kMinLoudnessTarget = -40;
inline constexpr std::int32_t kMaxLoudnessTarget = -5;
inline constexpr std::int32_t kDefaultLoudnessTarget = -16;
inline constexpr std::int32_t kMinTruePeakCeilingTenths = -200;
inline constexpr std::int32_t kMaxTruePeakCeilingTenths = 0;
inline constexpr std::int32_t kDefaultTruePeakCeilingTenths = -10;
// ReplayGain 2.0 gains bring a track to this loudness, in LUFS.
inline constexpr double kReplayGainReference = -18.0;

// FLAC compression levels, as the flac tool numbers them: 0 is fastest, 8 smallest.
inline constexpr std::int32_t kMinFlacLevel = 0;
inline constexpr std::int32_t kMaxFlacLevel = 8;
inline constexpr std::int32_t kDefaultFlacLevel = 5;

// Opus bit rates in kbit/s; kOpusBitRateAuto gives each channel kOpusAutoKbpsPerChannel
// (128 for stereo), at most kMaxOpusBitRate.
inline constexpr std::int32_t kOpusBitRateAuto = 0;
inline constexpr std::int32_t kMinOpusBitRate = 6;
inline constexpr std::int32_t kMaxOpusBitRate = 512;
inline constexpr std::int32_t kOpusAutoKbpsPerChannel = 64;
// Opus bit-rate control: variable, variable held near the rate, or constant.
inline constexpr std::int32_t kOpusVbrOn = 0;
inline constexpr std::int32_t kOpusVbrConstrained = 1;
inline constexpr std::int32_t kOpusVbrOff = 2;

// ID3v1 text fields hold 30 characters, the year 4 digits; genre 255 means none.
inline constexpr int kId3TextChars = 30;
inline constexpr int kId3YearChars = 4;
inline constexpr std::uint8_t kNoGenre = 255;

}  // namespace velmora
