#include "codec/BrowseFrames.h"

#include "codec/ByteOrder.h"

#include <algorithm>
#include <iterator>

namespace parlino {
namespace {

constexpr size_t kNameField = 16;
constexpr size_t kAnnouncementFixedPart = 32;
// What every announcement carries after the server type: the browser protocol's version, 15.1, and the
// signature 0xAA55.
constexpr uint8_t kBrowserVersionAndSignature[] = {15, 1, 0x55, 0xAA};

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t maxLength)
{
    const size_t length = std::min(text.size(), maxLength);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    out.push_back(0);
}

bool IsAnnouncement(uint8_t opcode)
{
    return opcode == static_cast<uint8_t>(BrowseOpcode::HostAnnouncement) ||
           opcode == static_cast<uint8_t>(BrowseOpcode::DomainAnnouncement) ||
           opcode == static_cast<uint8_t>(BrowseOpcode::LocalMasterAnnouncement);
}

} // namespace

std::vector<uint8_t> EncodeBrowseFrame(const BrowseFrame& frame)
{
    std::vector<uint8_t> out{static_cast<uint8_t>(frame.opcode), 0};
    if (frame.opcode == BrowseOpcode::AnnouncementRequest) {
        PutText(out, frame.comment, kMaxBrowseName);
        return out;
    }
    PutLittleEndian32(out, frame.periodicity);
    const size_t nameStart = out.size();
    PutText(out, frame.name, kMaxBrowseName);
    out.resize(nameStart + kNameField, 0);
    out.push_back(frame.versionMajor);
    out.push_back(frame.versionMinor);
    PutLittleEndian32(out, frame.serverType);
    out.insert(out.end(), std::begin(kBrowserVersionAndSignature), std::end(kBrowserVersionAndSignature));
    PutText(out, frame.comment, kMaxBrowseComment);
    return out;
}

std::optional<BrowseFrame> DecodeBrowseFrame(const uint8_t* data, size_t size)
{
    if (size < 2)
        return std::nullopt;
    BrowseFrame frame;
    frame.opcode = static_cast<BrowseOpcode>(data[0]);
    if (frame.opcode == BrowseOpcode::AnnouncementRequest) {
        // The sender's name is to be ignored, so a missing one costs nothing.
        frame.comment = TerminatedText(data + 2, size - 2).value_or(std::string());
        frame.comment.resize(std::min(frame.comment.size(), kMaxBrowseName));
        return frame;
    }
    if (!IsAnnouncement(data[0]) || size <= kAnnouncementFixedPart)
        return std::nullopt;
    frame.periodicity = GetLittleEndian32(data + 2);
    auto name = TerminatedText(data + 6, kNameField);
    auto comment = TerminatedText(data + kAnnouncementFixedPart, size - kAnnouncementFixedPart);
    if (!name || name->empty() || !comment)
        return std::nullopt;
    frame.name = std::move(*name);
    frame.versionMajor = data[22];
    frame.versionMinor = data[23];
    frame.serverType = GetLittleEndian32(data + 24);
    comment->resize(std::min(comment->size(), kMaxBrowseComment));
    frame.comment = std::move(*comment);
    return frame;
}

} // namespace parlino
