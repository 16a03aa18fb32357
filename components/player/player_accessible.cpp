#include "components/player/player_accessible.h"

#include "components/player/vizmo4.h"

#include <QAccessibleWidget>
#include <QMenu>

namespace vizmo::player {

namespace {

class PlayerAccessible : public QAccessibleWidget {
public:
    explicit PlayerAccessible(QWidget* player) : QAccessibleWidget(player, QAccessible::Client) {}

    int childCount() const override { return QAccessibleWidget::childCount() + int(openMenus().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        if (index < own)
            return QAccessibleWidget::child(index);
        const QList<QMenu*> menus = openMenus();
        return index - own < menus.size() ? QAccessible::queryAccessibleInterface(menus[index - own]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const int own = QAccessibleWidget::indexOfChild(child);
        if (own >= 0)
            return own;
        const qsizetype menu = child ? openMenus().indexOf(qobject_cast<QMenu*>(child->object())) : -1;
        return menu < 0 ? -1 : QAccessibleWidget::childCount() + int(menu);
    }

private:
    QList<QMenu*> openMenus() const
    {
        QList<QMenu*> open;
        for (QMenu* menu : widget()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            if (menu->isVisible())
                open.append(menu);
        }
        return open;
    }
};

QAccessibleInterface* playerAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(Vizmo4::staticMetaObject.className()) && object && object->isWidgetType())
        return new PlayerAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void makeMenusAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(&playerAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace vizmo::player
