#pragma once
// The window's design: every control with its kind, container, caption,
// position and size in twips, keyboard order and the design-time values that
// differ from its kind's defaults. Form1 is built from this table by one loop.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace vizmo::shell {

enum class ControlKind {
    PlayerSite,     // the hosted PlayerControl
    SpeechSite,     // the hosted SpeechComponent
    CommandButton,
    Label,
    Frame,
    CheckBox,
    ComboBox,       // drop-down list, no typing
    FileListBox,
    TextBox,        // multi-line text box
    DisplayField,   // one-line output field
    Slider,
    ProgressBar,
    TabControl,
};

// Where a control sits: on the window, on a page of SSTab1, or in a frame.
struct Container {
    QString name = QStringLiteral("Form1");
    int page = -1;  // the tab page when name is "SSTab1"
};

// Design-time values; unset ones keep the kind's defaults.
struct Design {
    std::optional<int> value;            // check box, slider
    std::optional<int> min, max;         // slider
    std::optional<int> tickFrequency, smallChange, largeChange;
    QString pattern;                     // file list box
    QStringList items;                   // drop-down list
    QString text;                        // text box
    bool bold = false;
    bool graphical = false;              // command button face shows BackColor
    std::optional<std::uint32_t> backColor, foreColor;
};

struct LayoutRow {
    QString name;
    ControlKind kind;
    Container container;
    QString caption;
    int left = 0, top = 0, width = 0, height = 0;  // twips
    int tabIndex = 0;
    Design design;
};

// The window itself.
struct WindowDesign {
    QString caption;
    int clientWidth;   // twips
    int clientHeight;  // twips
    std::vector<QString> tabCaptions;  // SSTab1's pages, in order
    int tabHeight;     // twips
};

const WindowDesign& windowDesign();
const std::vector<LayoutRow>& layoutTable();
const LayoutRow* findRow(const QString& name);

// The initial text of the speech text box, with the platform's line breaks.
QString initialSpeechText();

}  // namespace vizmo::shell
