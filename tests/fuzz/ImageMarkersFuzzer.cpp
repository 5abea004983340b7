// The markers' reader over arbitrary bytes, read as the page reads them: the
// head alone, the window where the header lies, and both against a file size
// that claims more or fewer bytes than the input holds.
#include <cstddef>
#include <cstdint>

#include "formats/executables/ImageMarkers.h"

namespace {

void ReadMarkers(const uint8_t* data, size_t size, uint64_t fileSize) {
    ImageMarkers markers;
    const size_t head = size < kMarkerHeadBytes ? size : kMarkerHeadBytes;
    uint32_t newAt = 0;
    if (LocateImageMarkers(data, head, fileSize, &markers) && markers.tableSize != 0 &&
        markers.tableOffset < size) {
        const size_t room = size - static_cast<size_t>(markers.tableOffset);
        MarkerChecksum(data + markers.tableOffset,
                       room < markers.tableSize ? room : markers.tableSize);
    }
    if (MarkerWindowNeeded(data, head, &newAt) && newAt < size) {
        const size_t rest = size - newAt;
        LocateImageMarkersAt(data + newAt, rest < kMarkerHeadBytes ? rest : kMarkerHeadBytes, newAt,
                             newAt, fileSize, &markers);
    }
    // A window that starts after the header it is asked about.
    LocateImageMarkersAt(data, size, 16, 0, fileSize, &markers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadMarkers(data, size, size);
    ReadMarkers(data, size, size / 2);
    ReadMarkers(data, size, 0xFFFFFFFFFFFull);
    return 0;
}
