#include "app/scanner/NamedAction.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QPointer>

namespace {

// The menu item that shows a NamedAction to assistive technology.
class AccessibleNamedAction : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit AccessibleNamedAction(NamedAction* action) : action_(action) {}

    bool isValid() const override { return action_ && menu(); }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return menu() ? menu()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override
    {
        if (!action_)
            return {};
        if (kind == QAccessible::Name)
            return action_->accessibleName();
        if (kind == QAccessible::Accelerator)
            return action_->shortcut().toString(QKeySequence::NativeText);
        return {};
    }

    QRect rect() const override
    {
        QMenu* owner = menu();
        if (!owner)
            return {};
        const QRect local = owner->actionGeometry(action_);
        return {owner->mapToGlobal(local.topLeft()), local.size()};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        QMenu* owner = menu();
        state.disabled = !action_ || !action_->isEnabled();
        state.focusable = true;
        state.focused = owner && owner->activeAction() == action_;
        state.invisible = !owner || !owner->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override
    {
        if (name != pressAction() || !action_ || !action_->isEnabled())
            return;
        if (QMenu* owner = menu())
            owner->hide();
        action_->trigger();
    }

private:
    QMenu* menu() const
    {
        if (!action_)
            return nullptr;
        for (QObject* shown : action_->associatedObjects())
            if (auto* owner = qobject_cast<QMenu*>(shown))
                return owner;
        return nullptr;
    }

    QPointer<NamedAction> action_;
};

QAccessibleInterface* namedActionInterface(const QString& key, QObject* object)
{
    if (key == QLatin1String("NamedAction"))
        return new AccessibleNamedAction(static_cast<NamedAction*>(object));
    return nullptr;
}

}

NamedAction::NamedAction(const QString& text, QString accessibleName, QObject* parent)
    : QAction(text, parent), accessibleName_(std::move(accessibleName))
{
    static const bool installed = (QAccessible::installFactory(namedActionInterface), true);
    Q_UNUSED(installed);
}
