#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace parlino::test {

// Clicks the button or triggers the menu item of that object name below root, as the user would by its designed
// name; the test fails, naming it, when there is none.
inline void Trigger(const QObject* root, const char* name)
{
    const QString objectName = QString::fromLatin1(name);
    if (auto* button = root->findChild<QAbstractButton*>(objectName))
        button->click();
    else if (auto* action = root->findChild<QAction*>(objectName))
        action->trigger();
    else
        ADD_FAILURE() << "no button or action \"" << name << "\" below " << root->objectName().toStdString();
}

} // namespace parlino::test
