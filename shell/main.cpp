// Vizmo4 Demo: one window that hosts the PlayerControl and the
// SpeechComponent and exercises them.

#include "components/player/vizmo4.h"
#include "components/speech/kvtts_component.h"
#include "platform/cursor.h"
#include "platform/event_boundary.h"
#include "platform/qt_dialog_driver.h"
#include "platform/screen.h"
#include "shell/form1.h"

#include <QApplication>
#include <QDir>

#ifndef VIZMO_DEVELOPMENT_DATA_DIR
#define VIZMO_DEVELOPMENT_DATA_DIR ""
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vizmo4 Demo"));
    // Lets a desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vizmo4.Demo"));

    // The components live as long as the window, which goes first.
    vizmo::player::Vizmo4 player;
    vizmo::speech::KVTTSComponent speech;
    vizmo::platform::QtScreen screen;
    vizmo::platform::QtCursor cursor;
    vizmo::platform::QtDialogDriver dialogs;

    vizmo::shell::Environment env{screen, cursor, dialogs, nullptr,
                                  QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                                  QStringLiteral(VIZMO_DEVELOPMENT_DATA_DIR)};
    vizmo::shell::Form1 form(env, {player, &player}, {speech, &speech});
    vizmo::platform::runHandler(form.reporter(), [&] { form.Form_Load(); });
    form.show();
    return app.exec();
}
