#include "app/Glyphs.h"

#include "platform/qt/ResourceIcon.h"

PARLINO_RESOURCES(app)

namespace parlino::Glyphs {
namespace {

QIcon Load(const char* name, std::initializer_list<int> sizes)
{
    Init_app_Resources();
    return ResourceIcon(QLatin1StringView("app"), name, sizes);
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
