#include "shell/layout_table.h"

namespace vizmo::shell {

namespace {

using K = ControlKind;

LayoutRow row(const char* name, ControlKind kind, Container container, const char* caption,
              int left, int top, int width, int height, int tabIndex, Design design = {})
{
    return LayoutRow{QString::fromLatin1(name), kind, std::move(container), QString::fromLatin1(caption),
                     left, top, width, height, tabIndex, std::move(design)};
}

const Container form;
Container page(int index) { return {QStringLiteral("SSTab1"), index}; }
const Container frame2{QStringLiteral("Frame2")};
const Container frame3{QStringLiteral("Frame3")};

constexpr std::uint32_t kInactiveBorder = 0x8000000Bu;
constexpr std::uint32_t kMenuText = 0x80000007u;
constexpr std::uint32_t kDarkBlue = 0x00C00000u;
constexpr std::uint32_t kYellow = 0x0000FFFFu;

Design poseSlider(int min, int max, int value)
{
    Design d;
    d.min = min; d.max = max; d.value = value;
    d.tickFrequency = 20; d.smallChange = 10; d.largeChange = 10;
    return d;
}

Design speechSlider(int value)
{
    Design d;
    d.min = 0; d.max = 100; d.value = value;
    d.tickFrequency = 10; d.smallChange = 1; d.largeChange = 10;
    return d;
}

Design checked(int value) { Design d; d.value = value; return d; }
Design pattern(const char* p) { Design d; d.pattern = QString::fromLatin1(p); return d; }
Design swatch(std::optional<std::uint32_t> face) { Design d; d.graphical = true; d.backColor = face; return d; }

Design field(bool eventBox)
{
    Design d;
    d.backColor = kInactiveBorder;
    if (eventBox) {
        d.foreColor = kDarkBlue;
        d.bold = true;
    }
    return d;
}

Design engineList()
{
    Design d;
    d.items = {QStringLiteral("Microsoft SAPI 4.1"), QStringLiteral("Microsoft SAPI 5.0")};
    return d;
}

std::vector<LayoutRow> buildTable()
{
    Design expandButton;
    expandButton.bold = true;
    expandButton.graphical = true;
    Design progress;
    progress.min = 0;
    progress.max = 100;
    Design speechText;
    speechText.text = initialSpeechText();

    return {
        // On the window.
        row("Vizmo41", K::PlayerSite, form, "", 60, 60, 3840, 3840, 2),
        row("KVTTSComponent1", K::SpeechSite, form, "", 60, 3900, 3840, 375, 0),
        row("ProgressBar1", K::ProgressBar, form, "", 60, 4020, 3495, 255, 3, progress),
        row("Command32", K::CommandButton, form, "<", 3600, 4020, 315, 255, 4, expandButton),
        row("SSTab1", K::TabControl, form, "", 3960, 60, 4665, 4215, 1),

        // Page 0, "Demo".
        row("Label24", K::Label, page(0), "Model", 180, 540, 555, 195, 95),
        row("Check1", K::CheckBox, page(0), "Auto", 780, 520, 675, 255, 93, checked(0)),
        row("Label25", K::Label, page(0), "Script", 2400, 600, 495, 195, 96),
        row("Check2", K::CheckBox, page(0), "Auto", 2940, 520, 795, 255, 94, checked(1)),
        row("File1", K::FileListBox, page(0), "", 120, 840, 2235, 3210, 91, pattern("*.QVM")),
        row("File2", K::FileListBox, page(0), "", 2340, 840, 2235, 3210, 92, pattern("*.QVS")),

        // Page 1, "QV4 Player", outside the frame.
        row("Frame2", K::Frame, page(1), "Property", 180, 340, 4335, 3075, 34),
        row("Check3", K::CheckBox, page(1), "Tracking", 300, 3520, 1035, 315, 28, checked(1)),
        row("Command7", K::CommandButton, page(1), "Play", 1380, 3520, 975, 315, 30),
        row("Command26", K::CommandButton, page(1), "Pause", 2400, 3520, 975, 315, 31),
        row("Command8", K::CommandButton, page(1), "Stop", 3420, 3520, 975, 315, 29),
        row("Label13", K::Label, page(1), "Event: ", 300, 3880, 1095, 255, 90),
        row("Text1", K::DisplayField, page(1), "", 1380, 3880, 1395, 195, 32, field(false)),
        row("Text5", K::DisplayField, page(1), "", 2940, 3880, 1215, 195, 33, field(true)),

        // Frame2: the labels.
        row("Label4", K::Label, frame2, "ModelName", 120, 240, 1035, 195, 81),
        row("Label5", K::Label, frame2, "ScriptName", 2220, 240, 855, 195, 82),
        row("Label1", K::Label, frame2, "ControStyle", 120, 540, 855, 195, 80),
        row("Label2", K::Label, frame2, "BorderStyle", 2220, 540, 915, 255, 79),
        row("Label3", K::Label, frame2, "AutoPlay", 120, 780, 975, 195, 78),
        row("Label7", K::Label, frame2, "MenuStyle", 2220, 780, 795, 195, 84),
        row("Label8", K::Label, frame2, "BackColor", 120, 1020, 795, 195, 85),
        row("Label9", K::Label, frame2, "BackImage", 2220, 1020, 975, 195, 86),
        row("Label6", K::Label, frame2, "LifeMode", 120, 1320, 795, 195, 83),
        row("Label10", K::Label, frame2, "BackMode", 120, 1560, 975, 195, 87),
        row("Label11", K::Label, frame2, "StrengthMode", 120, 1800, 1095, 195, 88),
        row("Label12", K::Label, frame2, "Strength", 120, 2040, 795, 255, 89),
        row("Label36", K::Label, frame2, "FPS", 2640, 2040, 435, 255, 67),
        row("Label26", K::Label, frame2, "Head", 120, 2280, 555, 255, 77),
        row("Label29", K::Label, frame2, "X", 1260, 2280, 195, 255, 74),
        row("Label30", K::Label, frame2, "Y", 2280, 2280, 195, 255, 73),
        row("Label31", K::Label, frame2, "Z", 3360, 2280, 195, 255, 72),
        row("Label27", K::Label, frame2, "Eye", 120, 2520, 375, 255, 76),
        row("Label34", K::Label, frame2, "X", 1260, 2520, 195, 255, 69),
        row("Label35", K::Label, frame2, "Y", 2760, 2520, 195, 255, 68),
        row("Label28", K::Label, frame2, "Shoulder", 120, 2760, 735, 195, 75),
        row("Label32", K::Label, frame2, "L", 1260, 2760, 195, 195, 71),
        row("Label33", K::Label, frame2, "R", 2760, 2760, 195, 195, 70),

        // Frame2: the buttons.
        row("Command1", K::CommandButton, frame2, "...", 1200, 240, 915, 255, 41),
        row("Command4", K::CommandButton, frame2, "...", 3120, 240, 1035, 255, 40),
        row("Command10", K::CommandButton, frame2, "0", 1200, 540, 435, 195, 38),
        row("Command9", K::CommandButton, frame2, "1", 1680, 540, 435, 195, 39),
        row("Command12", K::CommandButton, frame2, "0", 3120, 540, 495, 195, 36),
        row("Command11", K::CommandButton, frame2, "1", 3720, 540, 435, 195, 37),
        row("Command18", K::CommandButton, frame2, "0", 1200, 780, 435, 195, 46),
        row("Command13", K::CommandButton, frame2, "1", 1680, 780, 435, 195, 35),
        row("Command2", K::CommandButton, frame2, "-1", 3120, 780, 315, 195, 54),
        row("Command19", K::CommandButton, frame2, "0", 3480, 780, 315, 195, 47),
        row("Command20", K::CommandButton, frame2, "1", 3840, 780, 315, 195, 48),
        row("Command21", K::CommandButton, frame2, "", 1200, 1020, 915, 255, 49, swatch(std::nullopt)),
        row("Command22", K::CommandButton, frame2, "...", 3120, 1020, 1035, 255, 50),
        row("Command16", K::CommandButton, frame2, "0", 1200, 1320, 675, 195, 44),
        row("Command14", K::CommandButton, frame2, "1", 1920, 1320, 675, 195, 42),
        row("Command15", K::CommandButton, frame2, "2", 2640, 1320, 735, 195, 43),
        row("Command17", K::CommandButton, frame2, "3", 3420, 1320, 735, 195, 45),
        row("Command3", K::CommandButton, frame2, "-1", 1200, 1560, 675, 195, 55),
        row("Command23", K::CommandButton, frame2, "0", 1920, 1560, 675, 195, 51),
        row("Command25", K::CommandButton, frame2, "1", 2640, 1560, 735, 195, 53),
        row("Command24", K::CommandButton, frame2, "2", 3420, 1560, 735, 195, 52),
        row("Command6", K::CommandButton, frame2, "0", 1200, 1800, 1395, 195, 57),
        row("Command5", K::CommandButton, frame2, "1", 2640, 1800, 1515, 195, 56),

        // Frame2: the sliders.
        row("Slider1", K::Slider, frame2, "", 1140, 2040, 1455, 255, 58, poseSlider(0, 255, 128)),
        row("Slider12", K::Slider, frame2, "", 2940, 2040, 1275, 255, 66, poseSlider(8, 60, 30)),
        row("Slider7", K::Slider, frame2, "", 1380, 2280, 855, 255, 61, poseSlider(-255, 255, 0)),
        row("Slider9", K::Slider, frame2, "", 2400, 2280, 855, 255, 63, poseSlider(-255, 255, 0)),
        row("Slider10", K::Slider, frame2, "", 3480, 2280, 735, 255, 64, poseSlider(-255, 255, 0)),
        row("Slider8", K::Slider, frame2, "", 1380, 2520, 1335, 255, 62, poseSlider(-255, 255, 0)),
        row("Slider11", K::Slider, frame2, "", 2880, 2520, 1335, 255, 65, poseSlider(-255, 255, 0)),
        row("Slider2", K::Slider, frame2, "", 1380, 2760, 1335, 255, 59, poseSlider(-255, 255, 0)),
        row("Slider6", K::Slider, frame2, "", 2880, 2760, 1335, 255, 60, poseSlider(-255, 255, 0)),

        // Page 2, "KV TTS", outside the frame.
        row("Frame3", K::Frame, page(2), "Property", 180, 340, 4335, 3075, 10),
        row("Label21", K::Label, page(2), "Methord:", 300, 3580, 1155, 255, 26),
        row("Command27", K::CommandButton, page(2), "Play", 1380, 3520, 975, 315, 7),
        row("Command31", K::CommandButton, page(2), "Pause", 2400, 3520, 975, 315, 5),
        row("Command28", K::CommandButton, page(2), "Stop", 3420, 3520, 975, 315, 6),
        row("Label19", K::Label, page(2), "Event: ", 300, 3880, 675, 255, 27),
        row("Text3", K::DisplayField, page(2), "", 1380, 3880, 2175, 195, 8, field(false)),
        row("Text4", K::DisplayField, page(2), "", 3660, 3880, 855, 195, 9, field(true)),

        // Frame3.
        row("Label22", K::Label, frame3, "Inteerface:", 120, 300, 1395, 255, 20),
        row("Combo1", K::ComboBox, frame3, "", 1080, 240, 3135, 315, 13, engineList()),
        row("Label23", K::Label, frame3, "Voice:", 120, 600, 1395, 255, 19),
        row("Combo2", K::ComboBox, frame3, "", 1080, 600, 3135, 315, 15, engineList()),
        row("Label14", K::Label, frame3, "BackColor:", 120, 960, 795, 255, 25),
        row("Command29", K::CommandButton, frame3, "", 960, 960, 375, 255, 12, swatch(kMenuText)),
        row("Label15", K::Label, frame3, "ForeColor:", 1620, 960, 795, 255, 24),
        row("Command30", K::CommandButton, frame3, "", 2400, 960, 375, 255, 11, swatch(kYellow)),
        row("Label16", K::Label, frame3, "Pitch:", 120, 1260, 615, 255, 23),
        row("Slider4", K::Slider, frame3, "", 900, 1260, 3315, 255, 17, speechSlider(50)),
        row("Label17", K::Label, frame3, "Speed:", 120, 1500, 555, 255, 22),
        row("Slider3", K::Slider, frame3, "", 900, 1500, 3315, 255, 16, speechSlider(50)),
        row("Label18", K::Label, frame3, "Volum:", 120, 1740, 555, 255, 21),
        row("Slider5", K::Slider, frame3, "", 900, 1740, 3315, 255, 18, speechSlider(100)),
        row("Text2", K::TextBox, frame3, "", 120, 1980, 4095, 975, 14, speechText),

        // Page 3, "ZAZara RT".
        row("Label37", K::Label, page(3), "Coming Soon !!", 1680, 2020, 1215, 315, 97),
    };
}

}  // namespace

QString initialSpeechText()
{
    return QStringLiteral("Hello, this is Korvane Vizmo and TTS \r\ncomponent test program, please enter text here.\r\n");
}

const WindowDesign& windowDesign()
{
    static const WindowDesign design{
        QStringLiteral("Vizmo4 Demo"), 8670, 4335,
        {QStringLiteral("Demo"), QStringLiteral("QV4 Player"), QStringLiteral("KV TTS"), QStringLiteral("ZAZara RT")},
        300};
    return design;
}

const std::vector<LayoutRow>& layoutTable()
{
    static const std::vector<LayoutRow> table = buildTable();
    return table;
}

const LayoutRow* findRow(const QString& name)
{
    for (const LayoutRow& r : layoutTable()) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}

}  // namespace vizmo::shell
