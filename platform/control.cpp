#include "platform/control.h"

#include "components/dispatch/call_wait.h"

#include "platform/control_font.h"
#include "platform/event_boundary.h"

#include <algorithm>

namespace vizmo::platform {

Control::Control(QWidget* widget, ErrorReporter& reporter)
    : widget_(widget), reporter_(reporter), connections_(std::make_unique<QObject>())
{
    widget_->setFont(controlFont());
    // Controls start visible, also those created on a window that already shows.
    if (widget_->parentWidget())
        widget_->show();
}

Control::~Control()
{
    dispatch::forgetHeld(this);
    connections_.reset();
    delete widget_.data();
}

QString Control::name() const { return widget_ ? widget_->objectName() : QString(); }

void Control::setName(const QString& name)
{
    widget_->setObjectName(name);
    updateAccessibleName();
}

bool Control::visible() const { return widget_ && !widget_->isHidden(); }

void Control::setVisible(bool visible) { widget_->setVisible(visible); }

void Control::setTwipsGeometry(int left, int top, int width, int height, const TwipsScale& scale)
{
    widget_->setGeometry(scale.toPixels(left, top, width, height));
    twipsScaleChanged(scale);
}

void Control::setBold(bool bold)
{
    QFont font = widget_->font();
    font.setBold(bold);
    widget_->setFont(font);
}

bool Control::bold() const { return widget_->font().bold(); }

void Control::setAccessibleName(const QString& name)
{
    accessibleName_ = name;
    updateAccessibleName();
}

bool Control::takesTabFocus() const
{
    if (!widget_)
        return false;
    const QWidget* focusable = widget_->focusProxy() ? widget_->focusProxy() : widget_.data();
    return (focusable->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

void Control::raise(const std::function<void()>& handler) const { raiseNotification(reporter_, this, handler); }

void Control::setCaptionForAccessibility(const QString& caption)
{
    caption_ = caption;
    updateAccessibleName();
}

void Control::updateAccessibleName()
{
    if (!widget_)
        return;
    if (accessibleName_) {
        widget_->setAccessibleName(*accessibleName_);
        return;
    }
    QString text = caption_;
    text.remove(QLatin1Char('&'));
    widget_->setAccessibleName(text.trimmed().isEmpty() ? widget_->objectName() : text.trimmed());
}

void applyTabOrder(std::vector<Control*> controls)
{
    std::stable_sort(controls.begin(), controls.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex() < b->tabIndex(); });
    QWidget* previous = nullptr;
    for (Control* control : controls) {
        if (!control->takesTabFocus())
            continue;
        QWidget* focusable = control->widget()->focusProxy() ? control->widget()->focusProxy() : control->widget();
        if (previous)
            QWidget::setTabOrder(previous, focusable);
        previous = focusable;
    }
}

}  // namespace vizmo::platform
