#include "document/DocumentState.h"

namespace document {

namespace {
DocumentState& State() {
    static DocumentState state;
    return state;
}
} // namespace

DocumentState& Document() {
    return State();
}

void ResetDocumentState() {
    State() = DocumentState{};
}

} // namespace document
