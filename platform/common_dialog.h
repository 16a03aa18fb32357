#pragma once
// The common dialog as the handlers address it: by dispatch id, configured by
// property puts before each ShowOpen or ShowColor. Each instance keeps what
// was last set on it, the chosen FileName included. With CancelError True,
// Cancel is error 32755 "Cancel was selected."; without it Cancel returns
// normally and changes nothing.

#include "components/dispatch/object.h"
#include "platform/dialog_driver.h"

#include <QPointer>
#include <QWidget>

namespace vizmo::platform {

namespace dialog_id {
inline constexpr dispatch::DispId FileName = 1;     // String, get and put
inline constexpr dispatch::DispId Filter = 3;       // String
inline constexpr dispatch::DispId InitDir = 5;      // String
inline constexpr dispatch::DispId Color = 6;        // I4, get and put
inline constexpr dispatch::DispId Flags = 7;        // I4
inline constexpr dispatch::DispId CancelError = 18; // Bool
inline constexpr dispatch::DispId FilterIndex = 23; // I2
inline constexpr dispatch::DispId ShowOpen = 30;    // method, modal
inline constexpr dispatch::DispId ShowColor = 32;   // method, modal
}  // namespace dialog_id

// Dialog flags the shown dialogs honour.
namespace dialog_flag {
inline constexpr std::int32_t ColorInitial = 0x1;     // ShowColor starts at Color
inline constexpr std::int32_t ColorFullOpen = 0x2;    // ShowColor shows the custom colours
inline constexpr std::int32_t HideReadOnly = 0x4;     // ShowOpen has no read-only box
inline constexpr std::int32_t FileMustExist = 0x1000; // ShowOpen refuses names of missing files
}  // namespace dialog_flag

const dispatch::MemberTable& commonDialogMembers();

class CommonDialog : public dispatch::Object {
public:
    CommonDialog(DialogDriver& driver, QWidget* parent);

    const QString& fileName() const { return fileName_; }
    std::uint32_t color() const { return color_; }

protected:
    dispatch::Result doPut(dispatch::DispId id, const dispatch::Variant& value) override;
    dispatch::Result doGet(dispatch::DispId id, const dispatch::Args& args) override;
    dispatch::Result doCall(dispatch::DispId id, const dispatch::Args& args) override;

private:
    dispatch::Result showOpen();
    dispatch::Result showColor();
    dispatch::Result cancelled() const;

    DialogDriver& driver_;
    QPointer<QWidget> parent_;
    QString fileName_;
    QString filter_;
    QString initDir_;
    std::uint32_t color_ = 0;
    std::int32_t flags_ = 0;
    bool cancelError_ = false;
    std::int16_t filterIndex_ = 0;
};

}  // namespace vizmo::platform
