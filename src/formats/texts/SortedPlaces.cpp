#include "formats/texts/SortedPlaces.h"

#include <cstring>

void PlaceLikeSortedList(uint32_t* order, uint32_t count, PlaceComparer compare, void* context) {
    for (uint32_t added = 0; added < count; ++added) {
        // Signed bounds: the search may step below the first place.
        int64_t low = 0;
        int64_t high = static_cast<int64_t>(added) - 1;
        int64_t place = -1;
        while (low <= high && place < 0) {
            const int64_t middle = (low + high) / 2;
            const int side = compare(order[middle], added, context);
            if (side == 0)
                place = middle;
            else if (side > 0)
                high = middle - 1;
            else
                low = middle + 1;
        }
        if (place < 0)
            place = low;
        // Files keep their resources mostly in order, so the move is short.
        memmove(order + place + 1, order + place, (added - static_cast<uint32_t>(place)) * 4u);
        order[place] = added;
    }
}
