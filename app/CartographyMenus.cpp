// The cartography window, opened from the map button and from View > Other.

#include "app/Form1.h"
#include "cartography/frmCarte.h"
#include "maps/MapRecords.h"

namespace app {

void Form1::ShowCartography() {
    if (!cartography_) {
        cartography_ = std::make_unique<cartography::CartoWindowState>();
    }
    maps::MapHost host = mapHost();
    cartography::ShowCartography(*cartography_, host, this);
}

} // namespace app
