#pragma once
// Form1 on recording components, a settable screen and cursor, scripted
// dialogs and a recording error reporter, with content folders of the test's
// own making beside a temporary "executable".

#include "shell/form1.h"
#include "support/fake_error_reporter.h"
#include "support/fake_screen.h"
#include "support/recording_component.h"
#include "support/scripted_dialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace vizmo::testing {

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates appDir/<folder> with these (empty) files.
    void makeFolder(const QString& folder, const QStringList& files);
    // The usual content: two models and three scripts.
    void makeContent();
    // Makes the speech component report `names` as the voices of every engine.
    void setVoices(const QStringList& names);

    void createForm();
    // createForm() and the start-up, with the log cleared afterwards unless asked.
    void startUp(bool clearLog = true);
    void runLoad();
    // Shows the window and makes it the active one, so focus changes happen.
    bool showActive();

    form::WindowControls& c() const { return form->controls(); }
    QString path(const QString& relative) const;

    CallLog log;
    RecordingComponent player;
    RecordingComponent speech;
    FakeScreen screen;
    FakeCursor cursor;
    ScriptedDialogDriver dialogs;
    RecordingErrorReporter reporter;
    QTemporaryDir dir;
    QString appDir;
    QString developmentDataDir;
    QStringList voices{QStringLiteral("Voice A"), QStringLiteral("Voice B")};
    std::unique_ptr<shell::Form1> form;
};

}  // namespace vizmo::testing
