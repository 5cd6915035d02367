// SPDX-License-Identifier: GPL-3.0-or-later
// The colour picker's fixed palette: 22 rows of 12 preset colours, kept as
// text (nine digits and a comma per cell) and the look-ups over it.
#pragma once

#include "model/numeric.h"

#include <array>
#include <string>

namespace ombrix
{

constexpr int kPaletteColumns = 12;
constexpr int kPaletteRows = 22;
constexpr Long kNoCell = 999; // an empty cell, or a colour not in the palette

class Palette
{
public:
    Palette(); // builds the rows and joins them

    const std::string& row(int r) const { return psPaletteRow.at(static_cast<size_t>(r)); }
    const std::string& all() const { return psPaletteAll; }

    // The cell's colour; 999, 999, 999 for an empty cell; outputs untouched
    // outside the grid.
    void mGetPaletteColor(Integer nCol, Integer nRow, Long& nRed, Long& nGreen, Long& nBlue) const;

    // Column and row of the colour; without a hit nCol = 999 and nRow is
    // left as it is.
    void mFindPaletteColor(Long nRed, Long nGreen, Long nBlue, Integer& nCol, Integer& nRow) const;

    // The colour of the outline that marks a cell: the cell's inverse on the
    // hue ramps, red on the system colours and greys (black on the red cell).
    num::Rgb markColour(Integer nCol, Integer nRow) const;

    static bool isCell(Integer nCol, Integer nRow)
    {
        return nCol >= 0 && nCol < kPaletteColumns && nRow >= 0 && nRow < kPaletteRows;
    }

private:
    std::array<std::string, kPaletteRows> psPaletteRow;
    std::string psPaletteAll;
};

} // namespace ombrix
