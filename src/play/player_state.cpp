#include "play/player_state.h"

namespace peterin {

FieldCells cellsOf(const Field& field) {
    return {field.width, field.height, field.limboRows, field.cells};
}

void putCells(Field& field, const FieldCells& cells) {
    if (cells.cells.empty()) {
        field.cells.clear();
        field.width = field.height = field.limboRows = 0;
        return;
    }
    // Same sizes keep the scratch space; others size it through the one resize there is.
    if (field.width != cells.width || field.height != cells.height ||
        field.limboRows != cells.limboRows || field.cells.size() != cells.cells.size()) {
        resizeField(field, cells.width, cells.height, cells.limboRows);
    }
    field.cells = cells.cells;
}

} // namespace peterin
