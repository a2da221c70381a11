#pragma once

#include <optional>
#include <string>

namespace parlino {

// "\\HOST\mailslot\NAME": HOST is "." for this computer; NAME may itself hold backslashes.
struct MailslotPath
{
    std::string host;
    std::string slot;
};

std::optional<MailslotPath> ParseMailslotPath(const std::string& path);

// ASCII upper case: mailslot and NetBIOS names compare and travel in upper case.
std::string UpperAscii(std::string text);

} // namespace parlino
