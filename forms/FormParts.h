#pragma once

#include <QFont>
#include <QIcon>
#include <QSize>
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

// The frame the windows were designed in: a 4-pixel sizing border on each side and a 23-pixel caption. Qt sizes only
// the client area, which is the design's size less this frame; size limits are of the whole window, as it is dragged.
inline constexpr QSize kDesignFrame(8, 27);

// The face the forms are designed in, and a font's face until it is given another.
inline constexpr auto kDesignFontName = "MS Sans Serif";

// The design face at a size in pixels.
QFont DesignFont(int pixels);

// A flat toolbar button showing its caption under its glyph, named as its component.
QToolButton* NewToolButton(QWidget* toolBar, const char* name, const QString& caption, const QIcon& glyph);

// Reads the pictures the form's toolbar buttons will draw as they stand now, so that a moment the first frame spends
// waiting anyway (for the fonts) is spent on them rather than on the frame. Draws nothing.
void PrepareToolButtonPictures(const QWidget& form);

// A toolbar: a raised panel across the window, named as its component, which assistive technology knows as one.
QFrame* NewToolBar(QWidget* parent, const char* name);

// A toolbar separator: a sunken upright line, named as its component; a screen reader passes over it.
QFrame* NewSeparator(QWidget* toolBar, const char* name);

// A menu item named as its component; choosing it runs onClick, when given, for as long as receiver lives.
QAction* NewMenuItem(QMenu* menu, const char* name, const QString& caption, const QObject* receiver = nullptr,
                     std::function<void()> onClick = {});

// Runs onActivate each time the window becomes the active window, for as long as the window lives.
void OnActivation(QWidget* form, std::function<void()> onActivate);

// Runs then once, soon after the shown form's window has painted its first frame, from the event loop; for a window
// that is not exposed soon, such as one on another desktop, a moment after the call. Not at all when the form goes
// first.
void AfterFirstFrame(QWidget* form, std::function<void()> then);

} // namespace parlino
