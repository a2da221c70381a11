#pragma once

#include <QIcon>

namespace parlino::Glyphs {

// Toolbar glyphs are drawn for this size and for twice it, so they stay sharp on dense screens.
constexpr int kToolBarSize = 24;

QIcon Application();
// name: chat, refresh, options, minimize, help or exit.
QIcon ToolBar(const char* name);
// name: root, workgroup or computer; 16 x 16.
QIcon Tree(const char* name);

} // namespace parlino::Glyphs
