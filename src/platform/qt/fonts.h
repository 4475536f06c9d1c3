// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// Maps the Windows gothic face names the windows ask for onto the IPA gothic faces, which
// fontconfig does not do by itself. Call once after the application object exists.
void registerFontSubstitutions();

// Face names the windows use.
inline constexpr const char* kProportionalGothic = "ＭＳ Ｐゴシック";
inline constexpr const char* kFixedGothic = "ＭＳ ゴシック";

} // namespace platform
