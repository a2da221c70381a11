#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace parlino::test {

// Presses the button as the user would: a button the program disabled or hid cannot be pressed, so the test
// fails instead of reaching behaviour no user can reach.
inline void Trigger(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled() && !button->isHidden())
        << "button \"" << button->objectName().toStdString() << "\" is "
        << (button->isEnabled() ? "hidden" : "disabled");
    button->click();
}

// Chooses the menu item as the user would, failing the test where it is disabled or hidden.
inline void Trigger(QAction* action)
{
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled() && action->isVisible())
        << "menu item \"" << action->objectName().toStdString() << "\" is "
        << (action->isEnabled() ? "hidden" : "disabled");
    action->trigger();
}

// Presses the button or chooses the menu item of that object name below root, as the user would by its designed
// name; the test fails, naming it, when there is none.
inline void Trigger(const QObject* root, const char* name)
{
    const QString objectName = QString::fromLatin1(name);
    if (auto* button = root->findChild<QAbstractButton*>(objectName))
        Trigger(button);
    else if (auto* action = root->findChild<QAction*>(objectName))
        Trigger(action);
    else
        ADD_FAILURE() << "no button or action \"" << name << "\" below " << root->objectName().toStdString();
}

} // namespace parlino::test
