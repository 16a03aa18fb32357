// The window as designed: every control of the layout table exists with its
// name, kind, caption, place, size, keyboard order and design-time values.

#include "platform/window.h"
#include "shell/layout_table.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

using namespace vizmo;
using namespace vizmo::testing;
using shell::ControlKind;

// How far a caption's glyphs reach when drawn from x = 0, not counting a faint
// anti-aliased fringe or the empty space after the last glyph.
int drawnWidth(const QString& caption, const QFont& font)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(caption) + 8, metrics.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(0, metrics.ascent(), caption);
    painter.end();
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(x, y)) > 96)
                return x + 1;
        }
    }
    return 0;
}

class Layout : public WindowTest {
protected:
    QWidget* container(const shell::LayoutRow& row) const
    {
        if (row.container.name == "Form1")
            return form->window().widget();
        return form->registry().find(row.container.name)->widget();
    }
};

TEST_F(Layout, EveryControlOfTheTableIsPlacedAsDesigned)
{
    createForm();
    const auto& table = shell::layoutTable();
    ASSERT_EQ(table.size(), 98u);
    for (const shell::LayoutRow& row : table) {
        SCOPED_TRACE(row.name.toStdString());
        platform::Control* control = form->registry().find(row.name);
        ASSERT_NE(control, nullptr);
        QWidget* w = control->widget();
        EXPECT_EQ(w->objectName(), row.name);
        EXPECT_EQ(control->tabIndex(), row.tabIndex);
        const QPoint at = w->mapTo(container(row), QPoint(0, 0));
        EXPECT_EQ(at, QPoint(int(std::lround(row.left / 15.0)), int(std::lround(row.top / 15.0))));
        EXPECT_EQ(w->size(), QSize(int(std::lround(row.width / 15.0)), int(std::lround(row.height / 15.0))));
        EXPECT_FALSE(control->widget()->accessibleName().isEmpty());
        switch (row.kind) {
        case ControlKind::CommandButton:
            EXPECT_EQ(dynamic_cast<platform::CommandButton*>(control)->caption(), row.caption);
            break;
        case ControlKind::Label:
            EXPECT_EQ(dynamic_cast<platform::Label*>(control)->caption(), row.caption);
            break;
        case ControlKind::Frame:
            EXPECT_EQ(dynamic_cast<platform::Frame*>(control)->caption(), row.caption);
            break;
        case ControlKind::CheckBox:
            EXPECT_EQ(dynamic_cast<platform::CheckBox*>(control)->caption(), row.caption);
            EXPECT_EQ(dynamic_cast<platform::CheckBox*>(control)->value(), row.design.value.value());
            break;
        case ControlKind::Slider: {
            auto* s = dynamic_cast<platform::Slider*>(control);
            EXPECT_EQ(s->min(), row.design.min.value());
            EXPECT_EQ(s->max(), row.design.max.value());
            EXPECT_EQ(s->value(), row.design.value.value());
            break;
        }
        case ControlKind::FileListBox:
            EXPECT_EQ(dynamic_cast<platform::FileListBox*>(control)->pattern(), row.design.pattern);
            break;
        default:
            break;
        }
    }
}

// In the font the program picks on this machine, no caption is cut: the text
// as drawn (its glyphs' extent, not the advance past its last one) is no wider
// than the room its control leaves for it.
TEST_F(Layout, EveryCaptionFitsItsControlInTheProgramsFont)
{
    createForm();
    for (const shell::LayoutRow& row : shell::layoutTable()) {
        QWidget* w = form->registry().find(row.name)->widget();
        if (row.caption.isEmpty())
            continue;
        int room = 0;
        switch (row.kind) {
        case ControlKind::Label:
            room = w->contentsRect().width();
            break;
        case ControlKind::CommandButton:
            room = w->width() - 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            break;
        case ControlKind::CheckBox: {
            QStyleOptionButton option;
            option.initFrom(w);
            room = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w).width();
            break;
        }
        default:
            continue;
        }
        const int text = drawnWidth(row.caption, w->font());
        EXPECT_LE(text, room) << row.name.toStdString() << " \"" << row.caption.toStdString() << "\" in "
                              << w->font().family().toStdString();
    }
}

TEST_F(Layout, TheWindowItsTabsAndTheDesignTimeValuesThatHandlersRelyOn)
{
    createForm();
    EXPECT_EQ(form->window().caption(), "Vizmo4 Demo");
    EXPECT_EQ(form->window().clientHeightPixels(), 289);
    EXPECT_EQ(form->window().clientWidthPixels(), 578);
    ASSERT_EQ(c().SSTab1->tabCount(), 4);
    EXPECT_EQ(c().SSTab1->tabCaption(0), "Demo");
    EXPECT_EQ(c().SSTab1->tabCaption(1), "QV4 Player");
    EXPECT_EQ(c().SSTab1->tabCaption(2), "KV TTS");
    EXPECT_EQ(c().SSTab1->tabCaption(3), "ZAZara RT");
    EXPECT_EQ(c().SSTab1->tab(), 0);
    EXPECT_EQ(c().Combo1->listCount(), 2);
    EXPECT_EQ(c().Combo1->listIndex(), -1);
    EXPECT_EQ(c().Combo2->list(1), "Microsoft SAPI 5.0");
    EXPECT_EQ(c().Text2->text(), shell::initialSpeechText());
    EXPECT_EQ(c().Command29->backColor(), 0x80000007u);
    EXPECT_EQ(c().Command30->backColor(), 0x0000FFFFu);
    EXPECT_EQ(c().Text5->foreColor(), 0x00C00000u);
    EXPECT_TRUE(c().Text5->bold());
    EXPECT_TRUE(c().Command32->bold());
    EXPECT_EQ(c().Timer1->interval(), 0);
    // The compact view's cut is exactly where the tab control starts.
    EXPECT_EQ(c().SSTab1->widget()->x(), 264);
    // Nothing is tied to a handler before the start-up: creating the window calls no component.
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(Layout, TheKeyboardVisitsControlsInTabIndexOrder)
{
    createForm();
    std::vector<platform::Control*> focusable;
    for (platform::Control* control : form->registry().all()) {
        if (control->takesTabFocus())
            focusable.push_back(control);
    }
    std::sort(focusable.begin(), focusable.end(),
              [](const platform::Control* a, const platform::Control* b) { return a->tabIndex() < b->tabIndex(); });
    // 32 buttons, 12 sliders, 3 check boxes, 2 lists, 2 file lists, the text box, the tabs, 2 components.
    ASSERT_EQ(focusable.size(), 55u);
    EXPECT_EQ(focusable.front()->name(), "KVTTSComponent1");
    auto focusWidget = [](const platform::Control* c) {
        return c->widget()->focusProxy() ? c->widget()->focusProxy() : c->widget();
    };
    for (std::size_t i = 0; i + 1 < focusable.size(); ++i) {
        QWidget* next = focusWidget(focusable[i])->nextInFocusChain();
        while (next && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, focusWidget(focusable[i + 1]))
            << focusable[i]->name().toStdString() << " -> " << focusable[i + 1]->name().toStdString();
    }
    // Labels, frames and display fields never take the focus.
    for (const char* name : {"Label13", "Frame2", "Text1", "Text5", "Label37"})
        EXPECT_FALSE(form->registry().find(name)->takesTabFocus()) << name;
}
