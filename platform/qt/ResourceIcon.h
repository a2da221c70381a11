#pragma once

#include <QIcon>
#include <QLatin1StringView>

#include <initializer_list>

// Resources of a static library are only linked in when something asks for them. Defines, outside any
// namespace, a function that asks once for the resources of <name>.qrc.
#define PARLINO_RESOURCES(name)                                                                                        \
    static void Init_##name##_Resources()                                                                              \
    {                                                                                                                  \
        static const bool initialised = [] {                                                                           \
            Q_INIT_RESOURCE(name);                                                                                     \
            return true;                                                                                               \
        }();                                                                                                           \
        static_cast<void>(initialised);                                                                                \
    }

namespace parlino {

// An icon drawn once per size, from the resources ":/<folder>/<name>-<size>.png", so each screen
// density gets a picture made for it rather than a scaled one.
QIcon ResourceIcon(QLatin1StringView folder, const char* name, std::initializer_list<int> sizes);

} // namespace parlino
