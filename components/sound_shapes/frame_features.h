#pragma once
// What one 10 ms frame of a voice sounds like, from the 30 ms around it:
// how loud, how periodic, where its energy lies and its two lowest
// resonances. Everything the mouth's shape is read from.

#include <array>
#include <memory>
#include <span>

namespace vizmo::sound_shapes {

// The analysis runs on mono sound at this rate, in frames of kHop samples.
inline constexpr int kRate = 16000;
inline constexpr int kHop = 160;       // 10 ms, as the lip sync's phones are timed
inline constexpr int kWindow = 480;    // 30 ms: two periods of a low voice
// Frame f is heard over samples [f, f + 1) hops; its window is centred there,
// so it reaches this many samples past the frame's end.
inline constexpr int kLookAhead = kWindow / 2 - kHop / 2;

struct FrameFeatures {
    double db = -200;       // loudness, dB of full scale
    double voicing = 0;     // 0..1: how periodic, at a voice's pitch
    double highShare = 0;   // of the energy, the share above 2.5 kHz
    double lowShare = 0;    // of the energy, the share under 400 Hz: a nasal's murmur
    double centroid = 0;    // Hz, of the energy above 1 kHz: "s" high, "sh" lower
    double f1 = 0, f2 = 0;  // the two lowest resonances, Hz; 0 when not found
    // dB: the energy from 2 to 5 kHz against that under 2 kHz, with the
    // voice's tilt taken out. Rounding and backing the tongue pull the
    // second and third resonances down, spreading the lips pushes them up,
    // for men, women and children alike: it tells o and u from i and e even
    // where the resonances cannot be told from a high voice's sparse harmonics.
    double brightness = 0;
};

// Spectra, autocorrelation and linear prediction of one frame at a time.
// Not copyable; one per thread (FFTW's plans are made under a lock).
class FrameAnalyser {
public:
    FrameAnalyser();
    ~FrameAnalyser();
    FrameAnalyser(const FrameAnalyser&) = delete;
    FrameAnalyser& operator=(const FrameAnalyser&) = delete;

    // The features of the kWindow samples of `window`.
    FrameFeatures analyse(std::span<const float, kWindow> window);

private:
    struct Fft;
    std::unique_ptr<Fft> fft_;
};

}  // namespace vizmo::sound_shapes
