#pragma once
// One timing policy for every mouth the player shows, the scripts' mouth track
// and the speech input alike: a shape's move starts kLeadMs before its sound
// and follows a critically damped spring from wherever the mouth is, with its
// speed, so that it is most of the way there as the sound is heard.

namespace vizmo::viseme_timing {

// Measured from outside (bench/speech/av_sync.sh: the screen and the sound
// sink recorded on one clock), the sound reaches the sink this much before
// the output's played position counts it, and a frame is shown some time
// after it is composed. Every lead below is counted from what is seen and
// heard, so each move starts this much earlier still on the played clock.
inline constexpr int kPresentationMs = 60;

// How far ahead of its sound a shape starts to form. The spring is half way
// after about 0.43 of the settle time, and a frame is painted and shown some
// 20-30 ms after it is composed, so this is what makes the mouth lead as seen.
inline constexpr int kLeadMs = 60;
// Lips that close or touch the teeth change the picture within a few
// milliseconds of starting to move, so those moves start later: lips close
// for P, B, M, F and V just before their sound, and part after P, B or M
// only just before the sound that follows (the burst ends the closure).
inline constexpr int kLipContactLeadMs = 40;
inline constexpr int kReleaseLeadMs = 20;

// Lips that close or touch the teeth (P, B, M, F, V) move fast.
inline constexpr int kLipContactSettleMs = 40;
inline constexpr int kMinSettleMs = 45;
inline constexpr int kMaxSettleMs = 90;
// Back to rest after the last sound of a phrase.
inline constexpr int kRestSettleMs = 120;

// How far ahead of its sound, on the played clock, the move from `from` to
// `to` starts, when `from` started `heldMs` before `to`: never before half of
// `from` is heard, plus kPresentationMs.
int leadMs(int from, int to, int heldMs);
// The longest of them.
inline constexpr int kMaxLeadMs = kLeadMs + kPresentationMs;

// How long the move to `viseme` takes (to 90 % of the way), when the shape is
// held `holdMs` before the next one starts.
int settleMs(int viseme, int holdMs);

}  // namespace vizmo::viseme_timing
