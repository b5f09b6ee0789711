#pragma once

#include "editor/PlaceSearch.h"

namespace gazetteer {
class frmGeoQuery;
}

namespace app {

class Form1;

// The record editor's place search: the gazetteer's search window, one for the whole run (a child
// of the main window, made at its first use), whose chosen place the editor takes over.
class GazetteerPlaceSearch final : public editor::PlaceSearch {
public:
    explicit GazetteerPlaceSearch(Form1& form) : form_(form) {}
    std::optional<editor::ChosenPlace> choose() override;
    void prepare() override;

private:
    gazetteer::frmGeoQuery& window();

    Form1& form_;
};

} // namespace app
