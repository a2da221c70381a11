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

// The controls that Tab visits in the shown window, by name, from the one with the focus until one comes again.
inline QStringList TabOrder(QWidget* window)
{
    window->show();
    QStringList order;
    for (QWidget* at = window->focusWidget(); at && !order.contains(at->objectName()); at = window->focusWidget()) {
        order.append(at->objectName());
        QTest::keyClick(at, Qt::Key_Tab);
    }
    return order;
}

} // namespace parlino::test
