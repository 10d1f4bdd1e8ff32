// A short sine tone as the bytes of a WAV file (8 kHz, mono, 16-bit), for the tests that play alarm files.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

namespace test {

inline std::string ToneWav(int milliseconds) {
  constexpr uint32_t SampleRate = 8000;
  const uint32_t samples = SampleRate * static_cast<uint32_t>(milliseconds) / 1000;
  const uint32_t dataBytes = samples * 2;
  std::string bytes;
  const auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  bytes += "RIFF";
  put(36 + dataBytes, 4);
  bytes += "WAVEfmt ";
  put(16, 4);                // format chunk size
  put(1, 2);                 // PCM
  put(1, 2);                 // mono
  put(SampleRate, 4);
  put(SampleRate * 2, 4);    // bytes per second
  put(2, 2);                 // bytes per frame
  put(16, 2);                // bits per sample
  bytes += "data";
  put(dataBytes, 4);
  for (uint32_t i = 0; i < samples; ++i) {
    const double sample = 8000.0 * std::sin(2.0 * 3.141592653589793 * 880.0 * i / SampleRate);
    put(static_cast<uint32_t>(static_cast<int32_t>(sample)) & 0xFFFF, 2);
  }
  return bytes;
}

}  // namespace test
