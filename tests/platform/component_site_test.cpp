// The component site: Validate when the focus leaves the hosted component for
// another control, Cancel keeping the focus there, and the component's widget
// outliving the site.

#include "platform/component_site.h"
#include "support/fake_error_reporter.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vizmo;
using namespace vizmo::platform;

namespace {

class ComponentSiteTest : public ::testing::Test {
protected:
    ComponentSiteTest()
    {
        window.resize(300, 200);
        component = new QWidget;  // owned by the test, as a component owns its widget
        inner = new QLineEdit(component);
        site = std::make_unique<ComponentSite>(&window, component, reporter);
        site->setTwipsGeometry(60, 60, 1500, 1500, TwipsScale{15, 15});
        other = new QLineEdit(&window);
        other->setGeometry(200, 0, 80, 20);
        window.show();
        window.activateWindow();
    }
    ~ComponentSiteTest() override
    {
        site.reset();
        delete component.data();
    }

    vizmo::testing::RecordingErrorReporter reporter;
    QWidget window;
    QPointer<QWidget> component;
    QLineEdit* inner = nullptr;
    QLineEdit* other = nullptr;
    std::unique_ptr<ComponentSite> site;
};

TEST_F(ComponentSiteTest, ValidateWhenFocusLeavesTheComponentOnly)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    int validations = 0;
    site->onValidate([&](bool&) { ++validations; });
    component->setFocus(Qt::TabFocusReason);
    inner->setFocus(Qt::TabFocusReason);  // moving inside the component is no leaving
    EXPECT_EQ(validations, 0);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(validations, 1);
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(ComponentSiteTest, CancelKeepsTheFocusInTheComponent)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    site->onValidate([](bool& cancel) { cancel = true; });
    inner->setFocus(Qt::TabFocusReason);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(inner->hasFocus());
}

TEST_F(ComponentSiteTest, HostVisibleAndGeometry)
{
    EXPECT_EQ(site->widget()->geometry(), QRect(4, 4, 100, 100));
    site->setVisible(false);
    EXPECT_FALSE(component->isVisible());
    site->setVisible(true);
    EXPECT_TRUE(component->isVisible());
    EXPECT_NE(component->focusPolicy(), Qt::NoFocus);
}

TEST_F(ComponentSiteTest, ComponentWidgetOutlivesTheSite)
{
    site.reset();
    ASSERT_FALSE(component.isNull());
    EXPECT_EQ(component->parent(), nullptr);
}

TEST(ComponentSiteLifetime, ComponentWidgetOutlivesTheWindow)
{
    vizmo::testing::RecordingErrorReporter reporter;
    auto* window = new QWidget;
    QPointer<QWidget> component = new QWidget;
    ComponentSite site(window, component, reporter);
    delete window;
    ASSERT_FALSE(component.isNull());
    delete component.data();
}

}  // namespace
