#include "platform/window.h"

#include "platform/control_font.h"
#include "platform/screen.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace vizmo::platform {

Window::Window(const Screen& screen, int clientWidthTwips, int clientHeightTwips)
    : screen_(screen), scale_(scaleOf(screen)), widget_(std::make_unique<QWidget>())
{
    widget_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    widget_->setFont(controlFont());
    widget_->setFixedSize(scale_.toPixelsX(clientWidthTwips), scale_.toPixelsY(clientHeightTwips));
}

Window::~Window() = default;

QString Window::caption() const { return widget_->windowTitle(); }

void Window::setCaption(const QString& caption)
{
    widget_->setWindowTitle(caption);
    widget_->setAccessibleName(caption);
}

void Window::setIcon(const QIcon& icon) { widget_->setWindowIcon(icon); }

float Window::widthTwips() const
{
    return float(clientWidthPixels() + 2 * kFramePixels) * screen_.twipsPerPixelX();
}

void Window::setWidthTwips(float outerWidthTwips)
{
    const double outerPixels = std::lround(double(outerWidthTwips) / double(screen_.twipsPerPixelX()));
    const int client = std::max(1, int(outerPixels) - 2 * kFramePixels);
    widget_->setFixedWidth(client);
}

int Window::clientWidthPixels() const { return widget_->width(); }

int Window::clientHeightPixels() const { return widget_->height(); }

namespace {

void centre(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

// The window manager adds its frame only after the window is shown, so the
// first centring uses the bare client size; once the frame is known, the
// window is centred again, frame included. Wherever it stands by then, nobody
// but the window manager has put it there: the user can drag a window only by
// a frame it does not have yet, and a manager that places new windows itself
// does so as it frames them. A window resized before that (the compact and
// expanded views, under a manager that came late) stays where it is, and once
// the frame is known the window never moves by itself again: a drag or a
// change of view leaves it where the user has it.
class CentreWhenFramed : public QObject {
public:
    explicit CentreWhenFramed(QWidget& window) : QObject(&window), window_(window), placedSize_(window.size())
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show)
            return false;
        const bool resized = window_.size() != placedSize_;
        const bool framed = window_.frameGeometry().size() != window_.size();
        if (!resized && !framed)
            return false;
        if (!resized)
            centre(window_);
        window_.removeEventFilter(this);
        deleteLater();
        return false;
    }

private:
    QWidget& window_;
    QSize placedSize_;
};

}  // namespace

void Window::centreOnPrimaryScreen()
{
    centre(*widget_);
    if (!widget_->isVisible())
        new CentreWhenFramed(*widget_);
}

void Window::show() { widget_->show(); }

}  // namespace vizmo::platform
