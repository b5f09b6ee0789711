#pragma once

// What the cartography map shows, saved as a bitmap file or printed.

class QPrinter;

namespace cartography {

class MapCanvas;

// Asks for the file (the data folder, or the user's documents) and saves the map's image there as
// a Windows bitmap, whatever the name's extension. Cancelling does nothing; a file that cannot be
// written shows the error box.
void SauveImage(MapCanvas& canvas);

// Prints the map's image at its screen size, its top-left corner 50 twips from the corner of the
// printable area, and ends the job; the caller has set the printer up. A printer that cannot be
// started shows the error box.
void PrintMap(MapCanvas& canvas, QPrinter& printer);

} // namespace cartography
