#pragma once

#include <QAccessible>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace parlino::test {

// What assistive technology is told about the widget.
inline QString Spoken(QWidget* widget, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(widget)->text(text);
}

inline QAccessible::Role RoleOf(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->role();
}

// The controls that Tab visits in the shown window, by name, from the one with the focus round to it again.
inline QStringList TabOrder(QWidget* window)
{
    window->show();
    QStringList order;
    QWidget* const first = window->focusWidget();
    QWidget* current = first;
    while (current && order.size() < 30) {
        order.append(current->objectName());
        QTest::keyClick(current, Qt::Key_Tab);
        current = window->focusWidget();
        if (current == first)
            break;
    }
    return order;
}

} // namespace parlino::test
