// Feeds any bytes to the station list reader, then chooses a drop from what
// it read, builds the exit rewrite and applies a journal over the same
// bytes: none of it may crash or store outside the 999-drop table.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "app/stations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // One table for all inputs, as the editor keeps one for its run: the
    // reading must clear whatever the previous list left in it.
    static const auto table = std::make_unique<StationTable>();
    const StationRead r = parseStations(bytes, *table);
    DropFiles files;
    files.f1r = PathText("/cruise/");
    if (buildTemplates(files, 8, FixedText<13>("DEMO01"), 6)) return 0;
    int idropnum = 0, inext = 0;
    if (r.failure == StationFailure::None) {
        choosedrop(*table, files, idropnum, inext);
        updatestatus(*table, idropnum, -4);
        SlotLabel ainfo;
        writeinfoesedit(ainfo, *table, idropnum);
    }
    int nlinesnow = 0;
    (void)stationsBytes(*table, bytes, nlinesnow);
    // The same bytes as a journal over the list just read.
    if (r.failure == StationFailure::None) {
        const auto restored = applyjournal(bytes, *table);
        if (!restored.empty()) (void)restoredMessage(*table, restored);
    }
    (void)ch2real(bytes, 1, static_cast<int>(size % 9));
    return 0;
}
