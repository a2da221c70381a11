#include "app/MessageNotifier.h"

#include <algorithm>

namespace parlino {

namespace {

// The first line that says something: a message may start with blank lines.
QString FirstLine(const QString& text)
{
    const QString trimmed = text.trimmed();
    const auto* const end =
        std::find_if(trimmed.begin(), trimmed.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    return trimmed.first(end - trimmed.begin());
}

} // namespace

MessageNotifier::MessageNotifier(DesktopNotifications& notifications,
                                 std::function<void(const QString& station)> clicked)
    : notifications_(notifications)
{
    notifications_.OnClicked = std::move(clicked);
}

void MessageNotifier::MessageArrived(const QString& station, const QString& sender, const QString& text, Where where)
{
    if (!where.flash || where.chatActive)
        return;
    const QString from = sender == station ? QString() : sender + QStringLiteral(" > ");
    const QString line = station + QStringLiteral(": ") + from + FirstLine(text);
    notifications_.Show(station, line.left(kMaxLength));
}

} // namespace parlino
