// SPDX-License-Identifier: GPL-3.0-or-later
// The image record as one JSON object whose keys are the record's own field
// names, in the record's order.
#pragma once

#include "model/image_params.h"

#include <string>

namespace ombrix
{

std::string paramsToJson(const ImageParams& p);

// The text as a JSON string literal, quotes included; the text is UTF-8.
std::string jsonString(const std::string& text);

} // namespace ombrix
