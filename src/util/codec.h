// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Conversions between text and the byte encodings of old Japanese files, by the system's
// converter names ("CP932", "EUC-JISX0213").

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The text that bytes in encoding stand for; every byte that starts no valid character becomes
// U+FFFD and decoding goes on after it. Nothing when the system cannot convert from encoding.
std::optional<QString> DecodeBytes(QByteArrayView bytes, const char* encoding);

// text in encoding; nothing when some character has no form in it or the system cannot convert
// to encoding.
std::optional<QByteArray> EncodeText(QStringView text, const char* encoding);
