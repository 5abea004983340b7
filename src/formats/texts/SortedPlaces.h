// The places a sorted list box gives its items when they are added one by one:
// each new item goes where a binary search over the items already placed ends,
// and an item that compares equal to the one probed goes just before it. Done
// once in memory, it lets the list take its items in their final order without
// sending a comparison message per item, and puts ties where they always were.
#pragma once

#include <cstdint>

// Negative, 0 or positive as the item already placed (placed) goes before,
// ties with or goes after the item being placed (added).
typedef int (*PlaceComparer)(uint32_t placed, uint32_t added, void* context);

// Fills order with the indexes 0 .. count - 1 in the list's order, adding them
// in turn as a sorted list would.
void PlaceLikeSortedList(uint32_t* order, uint32_t count, PlaceComparer compare, void* context);
