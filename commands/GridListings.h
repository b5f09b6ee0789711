#pragma once

// Files of the IFBL grid and a test distribution file, for checking maps and readers by hand.
// No menu runs them but the hidden "Grille" item; each replaces the file it writes.

#include <QString>

namespace commands {

// The lines of the 4 km squares and of the 32 x 20 km blocks as polylines of EUR-M degrees:
// a flag ("-1" first point, " 0" others), latitude, longitude and ":" per line, the pen code after
// the first point of each line.
void WriteIfblGridListing(const QString& path);

// The 1 km squares, the 4 km squares and the blocks as MapInfo interchange pairs (ifbl01x01,
// ifbl04x04 and ifbl32x20 .mif and .mid) in Lambert 72 metres, each square with its code.
void WriteIfblSquaresMif(const QString& folder);

// The lines of the blocks in EUR-M degrees at full precision ("-1 " and " 0 " flags).
void WriteIfblBlockListing(const QString& path);

// A distribution file of the older layout with 1000 random records anywhere on the globe.
void WriteRandomDistribution(const QString& path);

// The procedures with their fixed file names in `folder`, each ending with its message.
void CreationIFBLGrid(const QString& folder);
void CreationIFBLGridPolygon(const QString& folder);
void GenereDeg(const QString& folder);
void mnuGrid_Click(const QString& folder);

} // namespace commands
