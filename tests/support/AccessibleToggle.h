#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSet>
#include <QWidget>

#include <gtest/gtest.h>

inline QString accessibleNameOf(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// The accessible names of every checkable control in a window, shown or not.
inline QSet<QString> checkableNames(QWidget* window)
{
    QSet<QString> names;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isCheckable())
            names.insert(accessibleNameOf(button));
    return names;
}

inline QAbstractButton* checkableNamed(QWidget* window, const QString& name)
{
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->isCheckable() && accessibleNameOf(button) == name)
            return button;
    ADD_FAILURE() << "no checkable control " << name.toStdString();
    return nullptr;
}

// Presses the control the way a screen reader does: through its Toggle action, with no click.
inline void toggleAccessibly(QWidget* window, const QString& name)
{
    QAbstractButton* button = checkableNamed(window, name);
    ASSERT_NE(button, nullptr);
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(button)->actionInterface();
    ASSERT_NE(actions, nullptr) << name.toStdString();
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction())) << name.toStdString();
    actions->doAction(QAccessibleActionInterface::toggleAction());
}
