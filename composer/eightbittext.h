#pragma once

#include "vesnor/codec.h"

#include <QString>
#include <QStringView>

#include <string>

// What the text boxes hold (Unicode, line breaks as '\n' or U+2029) and what the engine and
// the saved file hold (8-bit text, line breaks as CR LF). Characters without an
// 8-bit code ride along in `foreign` so that a conversion puts them back in place.
namespace vesnor::eightbit {

codec::EightBitText fromBox(QStringView text);
QString toBox(const std::string &bytes, std::u32string_view foreign);

} // namespace vesnor::eightbit
