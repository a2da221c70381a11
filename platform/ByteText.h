#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace parlino {

// Text of stored bytes that gives back the same bytes, so that a value such as a file's path survives being read and
// written again even when it is not valid UTF-8, as file names on Linux need not be. Valid UTF-8 converts as always;
// each byte that does not decode stands for itself as a lone surrogate U+DC80..U+DCFF, which no valid UTF-8 yields.
QString TextOfBytes(std::string_view bytes);
std::string BytesOfText(const QString& text);

// The file name that text stands for, as the file system has it.
QByteArray NativePathOf(const QString& text);

} // namespace parlino
