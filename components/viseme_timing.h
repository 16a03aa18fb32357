#pragma once
// One timing policy for every mouth the player shows, the scripts' mouth track
// and the speech input alike: a shape's move follows a critically damped
// spring from wherever the mouth is, with its speed, and starts so that the
// mouth is half way there, as seen, kLeadMs before the shape's sound is heard.

namespace vizmo::viseme_timing {

// Measured from outside (bench/speech/av_sync.sh: the screen and the sound
// sink recorded on one clock), the sound reaches the sink this much before
// the output's played position counts it, and a frame is shown some time
// after it is composed. Every lead below is counted from what is seen and
// heard, so each move starts this much earlier still on the played clock.
inline constexpr int kPresentationMs = 60;
// The same for a script's sound, measured the same way on the same texts
// (bench/speech/aligned_av_sync.sh, whose "engine" scripts carry the engine's
// own phones, against av_sync.sh): with 60 its mouth led by about 10 ms more
// than speech's. Its sound goes to the device as one file, seconds ahead;
// speech's comes as it is synthesised.
inline constexpr int kScriptPresentationMs = 50;

// How long before its sound a shape is half way formed, as seen. The same for
// every kind of move, opening, closing and rounding alike: a lead that
// differed by kind would put the mouth at a different time against the
// sound on a text full of lip closures than on one without them. 12 ms puts
// the mouth's lead as seen (bench/speech/av_sync.sh) at +20..+32 ms on both
// engines, well inside 0..+40 ms; 20 ms reached +44 ms on some runs.
inline constexpr int kLeadMs = 12;

// Lips that close or touch the teeth (P, B, M, F, V) move fast.
inline constexpr int kLipContactSettleMs = 40;
inline constexpr int kMinSettleMs = 45;
inline constexpr int kMaxSettleMs = 90;
// Back to rest after the last sound of a phrase.
inline constexpr int kRestSettleMs = 120;

// How long the spring takes to half way, for a move that takes `settleMs`
// to 90 %.
constexpr int halfWayMs(int settleMs) { return settleMs * 43 / 100; }

// How far ahead of its sound, on the played clock, a move that takes
// `settleMs` starts, when the shape before it, `from`, started `heldMs`
// before its sound: half way kLeadMs before the sound, plus `presentationMs`;
// but never before half of `from` is heard, or for lips that close or touch
// the teeth, before they have met.
int leadMs(int from, int heldMs, int settleMs, int presentationMs = kPresentationMs);
// The longest of them.
inline constexpr int kMaxLeadMs = kLeadMs + halfWayMs(kRestSettleMs) + kPresentationMs;

// How long the move to `viseme` takes (to 90 % of the way), when the shape is
// held `holdMs` before the next one starts.
int settleMs(int viseme, int holdMs);

// The fastest move: one that should have started before its stream did (a
// text that opens with a sound) makes up the time it lost this way.
inline constexpr int kCatchUpSettleMs = 15;
// The settle time of a move that starts `lateMs` after it should have, so that
// it is still half way when it should be, as far as kCatchUpSettleMs allows.
int catchUpSettleMs(int settleMs, int lateMs);

}  // namespace vizmo::viseme_timing
