#include "tray/TrayPictures.h"

#include "platform/qt/ResourceIcon.h"

PARLINO_RESOURCES(tray)

namespace parlino::TrayPictures {
namespace {

QIcon Load(const char* name)
{
    Init_tray_Resources();
    return ResourceIcon(QLatin1StringView("tray"), name, {16, 32});
}

} // namespace

QIcon Still()
{
    return Load("still");
}

void LoadMessageFrames(TIconList& icons)
{
    icons.BeginUpdate();
    icons.Clear();
    icons.Add(Load("message-a"));
    icons.Add(Load("message-b"));
    icons.EndUpdate();
}

} // namespace parlino::TrayPictures
