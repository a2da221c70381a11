#pragma once

#include <QAccessible>

class QWidget;

namespace parlino {

// Tells assistive technology what the widget is where its class says something else: a frame that is a toolbar or
// a separator, a label that is a status line, a plain widget that is a window or a dialog. Name and description
// then come from the widget's accessible name and description (or its tool tip), a window's name from its caption.
// Set it before the widget is first shown, as a screen reader asks once.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

} // namespace parlino
