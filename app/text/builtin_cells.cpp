// SPDX-License-Identifier: MIT
#include "builtin_cells.h"

namespace kestrin {

const CellGlyph *builtinCell(char32_t)
{
    return nullptr;
}

} // namespace kestrin
