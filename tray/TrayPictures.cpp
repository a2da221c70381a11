#include "tray/TrayPictures.h"

#include <QString>

// Resources of a static library are only linked in when something asks for them.
static void InitTrayResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(tray);
        return true;
    }();
    static_cast<void>(initialised);
}

namespace parlino::TrayPictures {
namespace {

QIcon Load(const char* name)
{
    InitTrayResources();
    QIcon icon;
    for (const int size : {16, 32})
        icon.addFile(QStringLiteral(":/tray/%1-%2.png").arg(QLatin1String(name)).arg(size), QSize(size, size));
    return icon;
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
