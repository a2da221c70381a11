#include "app/Glyphs.h"

#include <QString>

#include <initializer_list>

// Resources of a static library are only linked in when something asks for them.
static void InitAppResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    static_cast<void>(initialised);
}

namespace parlino::Glyphs {
namespace {

QIcon Load(const char* name, std::initializer_list<int> sizes)
{
    InitAppResources();
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QStringLiteral(":/app/%1-%2.png").arg(QLatin1String(name)).arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon Application()
{
    return Load("app", {16, 32, 48, 128});
}

QIcon ToolBar(const char* name)
{
    return Load(name, {kToolBarSize, 2 * kToolBarSize});
}

QIcon Tree(const char* name)
{
    return Load(name, {16, 32});
}

} // namespace parlino::Glyphs
