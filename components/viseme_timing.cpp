#include "components/viseme_timing.h"

#include "components/player_control.h"

#include <algorithm>

namespace vizmo::viseme_timing {

int leadMs(int from, int heldMs, int settleMs, int presentationMs)
{
    namespace v = player::viseme;
    // Lips that meet do so kLipContactSettleMs after their move starts.
    const int contact = kLipContactSettleMs - kLeadMs - halfWayMs(kLipContactSettleMs);
    const int earliest = from == v::PP || from == v::FF ? heldMs - contact : heldMs / 2;
    return std::min(kLeadMs + halfWayMs(settleMs), std::max(0, earliest)) + presentationMs;
}

int settleMs(int viseme, int holdMs)
{
    namespace v = player::viseme;
    if (viseme == v::PP || viseme == v::FF)
        return kLipContactSettleMs;
    if (viseme == v::Silence)
        return std::clamp(holdMs, kMaxSettleMs, kRestSettleMs);
    // A short shape is passed through quickly rather than left half made.
    return std::clamp(holdMs * 3 / 5, kMinSettleMs, kMaxSettleMs);
}

int catchUpSettleMs(int settleMs, int lateMs)
{
    return std::min(settleMs, std::max(kCatchUpSettleMs, settleMs - lateMs * 100 / halfWayMs(100)));
}

}  // namespace vizmo::viseme_timing
