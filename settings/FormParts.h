#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

#include <functional>

class QAction;
class QFrame;
class QMenu;
class QObject;
class QToolButton;
class QWidget;

namespace parlino {

// What the program's windows are built from, so that they look and behave alike.

// The design face at a size in pixels.
QFont DesignFont(int pixels);

// A flat toolbar button showing its caption under its glyph, named as its component.
QToolButton* NewToolButton(QWidget* toolBar, const char* name, const QString& caption, const QIcon& glyph);

// A toolbar separator: a sunken upright line, named as its component.
QFrame* NewSeparator(QWidget* toolBar, const char* name);

// A menu item named as its component; choosing it runs onClick, when given, for as long as receiver lives.
QAction* NewMenuItem(QMenu* menu, const char* name, const QString& caption, const QObject* receiver = nullptr,
                     std::function<void()> onClick = {});

} // namespace parlino
