#pragma once
// The player as a screen reader sees it. Qt leaves popup menus out of the
// accessibility tree (the application lists its windows but no popups, and a
// widget none of its menus), so the player's context menu, though it names
// itself and its items, could be found by no one: here the player lists its
// open menus as its children, where a menu's own parent (the player) already
// says it belongs.

namespace vizmo::player {

// Makes the players made from now on list their open menus; once is enough.
void makeMenusAccessible();

}  // namespace vizmo::player
