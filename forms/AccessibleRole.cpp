#include "forms/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

#include <mutex>

namespace parlino {

namespace {

constexpr auto kRoleProperty = "accessibleRole";

// Asked before Qt's own factory, for every class of a widget from the most derived one up.
QAccessibleInterface* WidgetInItsRole(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, role.value<QAccessible::Role>());
}

} // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role)
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(WidgetInItsRole); });
    widget->setProperty(kRoleProperty, QVariant::fromValue(role));
}

} // namespace parlino
