// Short tones as the bytes of sound files, for the tests that play alarm files: a sine in a WAV file, and one
// note in a standard MIDI file, bare or wrapped in RIFF (.rmi).
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

namespace test {

inline std::string LittleEndian(uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

inline std::string BigEndian(uint32_t value, int size) {
  std::string bytes;
  for (int i = size - 1; i >= 0; --i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return bytes;
}

// 8 kHz, mono, 16-bit.
inline std::string ToneWav(int milliseconds) {
  constexpr uint32_t SampleRate = 8000;
  const uint32_t samples = SampleRate * static_cast<uint32_t>(milliseconds) / 1000;
  const uint32_t dataBytes = samples * 2;
  std::string bytes = "RIFF" + LittleEndian(36 + dataBytes, 4) + "WAVEfmt ";
  bytes += LittleEndian(16, 4);               // format chunk size
  bytes += LittleEndian(1, 2);                // PCM
  bytes += LittleEndian(1, 2);                // mono
  bytes += LittleEndian(SampleRate, 4);
  bytes += LittleEndian(SampleRate * 2, 4);   // bytes per second
  bytes += LittleEndian(2, 2);                // bytes per frame
  bytes += LittleEndian(16, 2);               // bits per sample
  bytes += "data" + LittleEndian(dataBytes, 4);
  for (uint32_t i = 0; i < samples; ++i) {
    const double sample = 8000.0 * std::sin(2.0 * 3.141592653589793 * 880.0 * i / SampleRate);
    bytes += LittleEndian(static_cast<uint32_t>(static_cast<int32_t>(sample)) & 0xFFFF, 2);
  }
  return bytes;
}

// Format 0, one track: A4 on the piano for the given time. At 500 ticks a quarter note and the default tempo
// of 120 a minute, a tick is a millisecond.
inline std::string ToneMidi(int milliseconds) {
  // The note's length as a variable-length number: seven bits a byte, most significant first, the high bit set
  // on all but the last.
  const uint32_t ticks = static_cast<uint32_t>(milliseconds);
  std::string length(1, static_cast<char>(ticks & 0x7F));
  for (uint32_t rest = ticks >> 7; rest; rest >>= 7) {
    length.insert(length.begin(), static_cast<char>(0x80 | (rest & 0x7F)));
  }
  const std::string track = std::string("\x00\x90\x45\x60", 4) + length + "\x80\x45\x40" +  // note on, note off
                            std::string("\x00\xFF\x2F\x00", 4);                             // end of track
  return "MThd" + BigEndian(6, 4) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(500, 2) + "MTrk" +
         BigEndian(static_cast<uint32_t>(track.size()), 4) + track;
}

inline std::string ToneRmi(int milliseconds) {
  const std::string midi = ToneMidi(milliseconds);
  const uint32_t size = static_cast<uint32_t>(midi.size());
  const std::string pad(size % 2, '\0');  // chunks take an even number of bytes
  return "RIFF" + LittleEndian(12 + size + static_cast<uint32_t>(pad.size()), 4) + "RMID" + "data" +
         LittleEndian(size, 4) + midi + pad;
}

}  // namespace test
