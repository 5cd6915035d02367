// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user values that outlive a run: the file dialogs' folders, the
// hint switches and the JPEG quality.  Stored as strings under "Settings".
#pragma once

#include "model/numeric.h"

#include <array>
#include <string>

class QSettings;

namespace ombrix
{

struct Settings {
    // Folders, as the system's file-name bytes (see safe_file.h).
    std::string psReadPath;
    std::string psSavePath;
    std::array<Integer, 5> pnShowTip{1, 1, 1, 1, 1};
    Long plQualityValue = 100;
};

// Digit i gives hint i; a missing or non-digit character switches it off.
std::array<Integer, 5> parseShowTips(const std::string& text);
std::string formatShowTips(const std::array<Integer, 5>& tips);
// A number clamped to 10..100; anything else gives 100.
Long parseQuality(const std::string& text);

Settings mGetSettings(QSettings& store);
void mSaveSettings(QSettings& store, const Settings& s);

} // namespace ombrix
