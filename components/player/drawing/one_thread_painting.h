#pragma once
// Qt's raster painter splits any fill taller than about a hundred rows into
// pieces for its global thread pool, unless the painter already runs on one
// of that pool's threads. A face is many such fills a frame (the skin, the
// hair, their shading), and on a machine with two or four cores handing the
// pieces over and back costs more processor time than the pieces take:
// painted on one thread, a speaking face's frame at 1024 pixels costs about
// half. So the player paints its frame on a thread of that pool, with the
// painter the UI thread began, while the UI thread waits for it: nothing
// else runs meanwhile, and the painter is used by one thread at a time.

#include <functional>

namespace vizmo::player {

// Runs `paint` on a thread of Qt's global pool and waits for it; on the
// calling thread when the pool has no thread free or the caller is one of
// its threads. Returns whether it ran on the pool.
bool paintOnOneThread(const std::function<void()>& paint);

}  // namespace vizmo::player
