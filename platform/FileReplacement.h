#pragma once

#include <QString>

#include <string_view>

namespace parlino {

// How a replacement of a file ended.
struct ReplaceResult
{
    // Empty when the file was replaced; else the system's reason, such as "No space left on device".
    QString failure;
    // Whether the new file was created before the failure; when it was not, nothing at all could be written.
    bool created = false;

    bool Replaced() const { return failure.isEmpty(); }
};

// Replaces the file at target by bytes, all or nothing: writes a new file in the target's folder, checking every
// write, flushes it to the disk and only then renames it over the target. On any failure the new file is removed and
// the target keeps every byte it had. The new file takes the old one's permissions; a symbolic link is followed, so
// that the file it names is replaced and the link stays. An existing target that is not a regular file, or
// that may not be written, is refused.
// Unbuffered on purpose: a buffered writer can learn of a full disk only at its last flush, and must not rename then.
ReplaceResult ReplaceFile(const QString& target, std::string_view bytes);

// The system's text for an errno value.
QString SystemReason(int error);

} // namespace parlino
