#include "platform/component_site.h"

#include <QApplication>
#include <QVBoxLayout>

#include <memory>

namespace vizmo::platform {

namespace {
// The site's own widget: it lets the component go before Qt would delete it as a child.
class SiteWidget : public QWidget {
public:
    SiteWidget(QWidget* parent, QWidget* component) : QWidget(parent), component_(component)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(component);
        setFocusProxy(component);
    }
    ~SiteWidget() override
    {
        if (component_)
            component_->setParent(nullptr);
    }

private:
    QPointer<QWidget> component_;
};
}  // namespace

ComponentSite::ComponentSite(QWidget* parent, QWidget* component, ErrorReporter& reporter)
    : Control(new SiteWidget(parent, component), reporter), component_(component)
{
    if (component->focusPolicy() == Qt::NoFocus)
        component->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(qApp, &QApplication::focusChanged, connections(),
                     [this](QWidget* old, QWidget* now) { focusChanged(old, now); });
}

ComponentSite::~ComponentSite() = default;

bool ComponentSite::holds(const QWidget* w) const
{
    return w && widget() && (w == widget() || widget()->isAncestorOf(w));
}

void ComponentSite::focusChanged(QWidget* old, QWidget* now)
{
    if (restoring_ || !holds(old) || !now || holds(now) || now->window() != widget()->window())
        return;
    // Shared, not on the stack: a Validate held while a call waits runs later,
    // when its Cancel can no longer keep a focus that has moved on.
    auto cancel = std::make_shared<bool>(false);
    raise([this, cancel] {
        if (validateHandler_)
            validateHandler_(*cancel);
    });
    if (!*cancel)
        return;
    restoring_ = true;
    old->setFocus(Qt::OtherFocusReason);
    restoring_ = false;
}

}  // namespace vizmo::platform
