#pragma once
// The widget of a tab control: a tab strip across the top and pages that each
// cover the whole panel (beneath the strip), so that positions on a page are
// positions on the panel. The panel paints the frame around the page area.

#include <QTabBar>
#include <QWidget>

#include <vector>

namespace vizmo::platform {

class TabStrip : public QTabBar {
public:
    explicit TabStrip(QWidget* parent);
    void setStripHeight(int pixels);

protected:
    QSize tabSizeHint(int index) const override;
    // Tabs change by a click or the keyboard only, never by the wheel.
    void wheelEvent(QWheelEvent* event) override;

private:
    int stripHeight_ = 20;
};

class TabPanel : public QWidget {
public:
    explicit TabPanel(QWidget* parent);

    TabStrip* strip() const { return strip_; }
    QWidget* addPage(const QString& caption);
    QWidget* page(int index) const;
    int pageCount() const { return int(pages_.size()); }
    // Shows the page of the strip's current tab and hides the others.
    void showCurrentPage();
    void setStripHeight(int pixels);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutChildren();

    TabStrip* strip_;
    std::vector<QWidget*> pages_;
    int stripHeight_ = 20;
};

}  // namespace vizmo::platform
