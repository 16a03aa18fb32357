#include "support/window_fixture.h"

#include "components/player_control.h"
#include "components/speech_component.h"
#include "platform/event_boundary.h"
#include "platform/window.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QFile>

namespace vizmo::testing {

using namespace dispatch;

WindowTest::WindowTest()
    : player(player::kClassName, player::memberTable(), QStringLiteral("Vizmo41"), log),
      speech(speech::kClassName, speech::memberTable(), QStringLiteral("KVTTSComponent1"), log)
{
    appDir = dir.path() + QStringLiteral("/app");
    developmentDataDir = dir.path() + QStringLiteral("/devdata");
    QDir().mkpath(appDir);
    setVoices(voices);
    speech.answer(speech::id::AttachPlayer, [](const Args&) { return Result(Variant::boolean(true)); });
}

WindowTest::~WindowTest()
{
    form.reset();
}

void WindowTest::setVoices(const QStringList& names)
{
    voices = names;
    speech.answer(speech::id::VoiceCount, [this](const Args&) { return Result(Variant::i4(std::int32_t(voices.size()))); });
    speech.answer(speech::id::VoiceName, [this](const Args& args) {
        return Result(Variant::string(voices.value(args.at(0).asI4())));
    });
}

void WindowTest::makeFolder(const QString& folder, const QStringList& files)
{
    QDir().mkpath(appDir + QLatin1Char('/') + folder);
    for (const QString& name : files) {
        QFile f(appDir + QLatin1Char('/') + folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
}

void WindowTest::makeContent()
{
    makeFolder(QStringLiteral("qvm"), {QStringLiteral("bob.qvm"), QStringLiteral("ann.QVM")});
    makeFolder(QStringLiteral("qvs"), {QStringLiteral("wave.qvs"), QStringLiteral("hello.qvs"), QStringLiteral("long.qvs")});
}

void WindowTest::createForm()
{
    shell::Environment env{screen, cursor, dialogs, &reporter, appDir, developmentDataDir};
    form = std::make_unique<shell::Form1>(env, shell::HostedComponent{player, &player},
                                          shell::HostedComponent{speech, &speech});
}

void WindowTest::runLoad()
{
    platform::runHandler(reporter, [this] { form->Form_Load(); });
}

void WindowTest::startUp(bool clearLog)
{
    createForm();
    runLoad();
    if (clearLog)
        log.clear();
}

bool WindowTest::showActive()
{
    form->show();
    QWidget* top = form->window().widget()->window();
    QApplication::setActiveWindow(top);
    return QTest::qWaitForWindowActive(top, 1000);
}

QString WindowTest::path(const QString& relative) const
{
    return appDir + QDir::separator() + relative;
}

}  // namespace vizmo::testing
