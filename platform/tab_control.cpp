#include "platform/tab_control.h"

#include "platform/control_errors.h"
#include "platform/tab_panel.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace vizmo::platform {

TabControl::TabControl(QWidget* parent, ErrorReporter& reporter) : Control(new TabPanel(parent), reporter)
{
    QObject::connect(panel()->strip(), &QTabBar::currentChanged, connections(),
                     [this](int index) { currentChanged(index); });
}

TabPanel* TabControl::panel() const { return static_cast<TabPanel*>(widget()); }

QWidget* TabControl::addTab(const QString& caption)
{
    adding_ = true;
    QWidget* page = panel()->addPage(caption);
    adding_ = false;
    current_ = panel()->strip()->currentIndex();
    return page;
}

QWidget* TabControl::page(int index) const { return panel()->page(index); }

int TabControl::tabCount() const { return panel()->pageCount(); }

int TabControl::tab() const { return current_; }

void TabControl::setTab(int index)
{
    if (index < 0 || index >= tabCount())
        throwInvalidPropertyValue(name(), "Tab");
    panel()->strip()->setCurrentIndex(index);
}

QString TabControl::caption() const { return tabCaption(current_); }

QString TabControl::tabCaption(int index) const { return panel()->strip()->tabText(index); }

void TabControl::clickTab(int index)
{
    QTabBar* strip = panel()->strip();
    const QPointF at = strip->tabRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, strip->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, strip->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(strip, &press);
    QCoreApplication::sendEvent(strip, &release);
}

void TabControl::twipsScaleChanged(const TwipsScale& scale)
{
    panel()->setStripHeight(scale.toPixelsY(kStripHeightTwips));
}

void TabControl::currentChanged(int index)
{
    panel()->showCurrentPage();
    if (adding_)
        return;
    const int previous = current_;
    current_ = index;
    if (index == previous)
        return;
    // By value: held while a call waits, the handler runs after this returned.
    raise([this, previous] {
        if (clickHandler_)
            clickHandler_(previous);
    });
}

}  // namespace vizmo::platform
