#pragma once

#include <QString>
#include <optional>

namespace editor {

// A place picked in the gazetteer: its coordinates as the gazetteer stores them (decimal degrees,
// or degrees-minutes-seconds packed as ddmmss and signed, by the setting CoordinatesType), its
// name, FIPS code and feature designation.
struct ChosenPlace {
    double latitude = 0.0;
    double longitude = 0.0;
    QString name;
    QString fips;
    QString designation;
};

// The place-name search the record editor opens: shown modally, it gives the place the user
// picked, or nothing when the user closed it without a choice.
class PlaceSearch {
public:
    virtual ~PlaceSearch() = default;
    virtual std::optional<ChosenPlace> choose() = 0;
    // Starts, in the background, what the first search needs (opening the gazetteer, reading its
    // index), so that a search soon after the editor opens does not wait for it.
    virtual void prepare() {}
};

} // namespace editor
