#include "platform/tab_panel.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QWheelEvent>

namespace vizmo::platform {

TabStrip::TabStrip(QWidget* parent) : QTabBar(parent)
{
    setExpanding(true);
    setDrawBase(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

void TabStrip::setStripHeight(int pixels)
{
    stripHeight_ = pixels;
    setFixedHeight(pixels);
    updateGeometry();
}

void TabStrip::wheelEvent(QWheelEvent* event) { event->ignore(); }

QSize TabStrip::tabSizeHint(int index) const
{
    // The tabs fill the strip's height; expanding shares out the width their captions leave.
    QSize hint = QTabBar::tabSizeHint(index);
    hint.setHeight(stripHeight_);
    return hint;
}

TabPanel::TabPanel(QWidget* parent) : QWidget(parent), strip_(new TabStrip(this))
{
    // The keyboard reaches the tab control through its strip.
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(strip_);
}

QWidget* TabPanel::addPage(const QString& caption)
{
    auto* page = new QWidget(this);
    page->setAccessibleName(caption);
    pages_.push_back(page);
    strip_->addTab(caption);
    layoutChildren();
    showCurrentPage();
    return page;
}

QWidget* TabPanel::page(int index) const
{
    return index >= 0 && index < pageCount() ? pages_[std::size_t(index)] : nullptr;
}

void TabPanel::showCurrentPage()
{
    const int current = strip_->currentIndex();
    for (int i = 0; i < pageCount(); ++i)
        pages_[std::size_t(i)]->setVisible(i == current);
    // Pages cover the strip's area too; the strip stays on top to take clicks.
    strip_->raise();
}

void TabPanel::setStripHeight(int pixels)
{
    stripHeight_ = pixels;
    strip_->setStripHeight(pixels);
    layoutChildren();
}

void TabPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void TabPanel::layoutChildren()
{
    strip_->setGeometry(0, 0, width(), stripHeight_);
    for (QWidget* page : pages_)
        page->setGeometry(rect());
    update();
}

void TabPanel::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, stripHeight_ - 1, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = strip_->size();
    frame.tabBarRect = strip_->geometry();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace vizmo::platform
