#pragma once

#include "framework/forms/Colors.h"

#include <array>

namespace Orvello {

// The colours of the gradient's start colours, by item of the start-colour list: what the
// titles, the menu list and the preview take as their background.
inline constexpr std::array<TColor, 14> StartColorValues = {
    clAqua, clBlue,  clFuchsia, clGray, clGreen, clLime,  clMaroon,
    clNavy, clOlive, clPurple,  clRed,  clTeal,  clWhite, clYellow};

} // namespace Orvello
