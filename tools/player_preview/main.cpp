// Shows the PlayerControl with a model and a script, or saves one frame as a
// PNG: a quick way to look at a model, a pose or a mouth shape. Checks a
// drawn character: what the player finds in it, and its look at rest against
// rsvg-convert's.
//
//   player_preview [--model F.qvm] [--script F.qvs] [--size N] [--head X,Y,Z]
//                  [--eye X,Y] [--shoulder L,R] [--speech VISEME] [--at MS]
//                  [--back COLOR] [--image F --mode M] [--controls] [--png OUT]
//   player_preview --check F.qvm|F.svg
//   player_preview --against-rsvg F.qvm|F.svg [--size N] [--save DIR]
#include "character_check.h"
#include "components/player/vizmo4.h"
#include "components/player_control.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

using namespace vizmo;
using dispatch::I2;
using dispatch::I4;

namespace {
bool check(const dispatch::Result& result)
{
    if (!result.ok())
        std::fprintf(stderr, "error %d: %s\n", result.error().number, qPrintable(result.error().description));
    return result.ok();
}

QList<int> numbers(const QString& text)
{
    QList<int> out;
    for (const QString& part : text.split(u','))
        out << part.toInt();
    return out;
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.addHelpOption();
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Model file."), QStringLiteral("file"));
    const QCommandLineOption script(QStringLiteral("script"), QStringLiteral("Script file."), QStringLiteral("file"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Widget size."), QStringLiteral("px"), QStringLiteral("256"));
    const QCommandLineOption head(QStringLiteral("head"), QStringLiteral("SetHead x,y,z."), QStringLiteral("x,y,z"));
    const QCommandLineOption eye(QStringLiteral("eye"), QStringLiteral("SetEye x,y."), QStringLiteral("x,y"));
    const QCommandLineOption shoulder(QStringLiteral("shoulder"), QStringLiteral("SetShoulder l,r."), QStringLiteral("l,r"));
    const QCommandLineOption speech(QStringLiteral("speech"), QStringLiteral("Speech viseme 0..14."), QStringLiteral("v"));
    const QCommandLineOption at(QStringLiteral("at"), QStringLiteral("Wait this long before the PNG."), QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption back(QStringLiteral("back"), QStringLiteral("BackColor 0xBBGGRR."), QStringLiteral("colour"));
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("BackImage."), QStringLiteral("file"));
    const QCommandLineOption mode(QStringLiteral("mode"), QStringLiteral("BackMode."), QStringLiteral("m"), QStringLiteral("0"));
    const QCommandLineOption life(QStringLiteral("life"), QStringLiteral("LifeMode."), QStringLiteral("m"), QStringLiteral("0"));
    const QCommandLineOption controls(QStringLiteral("controls"), QStringLiteral("ControStyle 1."));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("Save one frame and quit."), QStringLiteral("file"));
    const QCommandLineOption checkOption(QStringLiteral("check"),
                                         QStringLiteral("Report what the player finds in a drawn character."),
                                         QStringLiteral("file"));
    const QCommandLineOption againstRsvg(QStringLiteral("against-rsvg"),
                                         QStringLiteral("Compare a drawn character at rest with rsvg-convert's picture."),
                                         QStringLiteral("file"));
    const QCommandLineOption save(QStringLiteral("save"), QStringLiteral("Keep the compared pictures here."),
                                  QStringLiteral("dir"));
    cli.addOptions({model, script, size, head, eye, shoulder, speech, at, back, image, mode, life, controls, png,
                    checkOption, againstRsvg, save});
    cli.process(app);
    if (cli.isSet(checkOption))
        return tools::checkCharacter(cli.value(checkOption));
    if (cli.isSet(againstRsvg))
        return tools::compareAtRest(cli.value(againstRsvg), cli.value(size).toInt(), cli.value(save));

    player::Vizmo4 player;
    player.setWindowTitle(QStringLiteral("Player preview"));
    const int side = cli.value(size).toInt();
    player.resize(side, side);
    bool ok = check(player.put(player::id::LifeMode, I2(std::int16_t(cli.value(life).toInt()))));
    if (cli.isSet(model))
        ok = ok && check(player.put(player::id::ModelName, dispatch::Str(cli.value(model))));
    if (cli.isSet(back))
        ok = ok && check(player.put(player::id::BackColor, I4(std::int32_t(cli.value(back).toUInt(nullptr, 0)))));
    if (cli.isSet(image)) {
        ok = ok && check(player.put(player::id::BackImage, dispatch::Str(cli.value(image))));
        ok = ok && check(player.put(player::id::BackMode, I2(std::int16_t(cli.value(mode).toInt()))));
    }
    if (cli.isSet(controls))
        ok = ok && check(player.put(player::id::ControStyle, I2(1)));
    if (cli.isSet(head)) {
        const auto v = numbers(cli.value(head));
        ok = ok && check(player.call(player::id::SetHead, {I2(std::int16_t(v.value(0))), I2(std::int16_t(v.value(1))),
                                                           I2(std::int16_t(v.value(2)))}));
    }
    if (cli.isSet(eye)) {
        const auto v = numbers(cli.value(eye));
        const auto x = I2(std::int16_t(v.value(0))), y = I2(std::int16_t(v.value(1)));
        ok = ok && check(player.call(player::id::SetEye, {x, y, x, y}));
    }
    if (cli.isSet(shoulder)) {
        const auto v = numbers(cli.value(shoulder));
        ok = ok && check(player.call(player::id::SetShoulder, {I2(std::int16_t(v.value(0))), I2(std::int16_t(v.value(1)))}));
    }
    if (cli.isSet(speech)) {
        ok = ok && check(player.call(player::id::SpeechActive, {dispatch::Bool(true)}));
        ok = ok && check(player.call(player::id::SpeechViseme, {I2(std::int16_t(cli.value(speech).toInt())), I2(255), I4(0)}));
    }
    if (cli.isSet(script))
        ok = ok && check(player.put(player::id::ScriptName, dispatch::Str(cli.value(script))));
    if (!ok)
        return 1;

    if (cli.isSet(png)) {
        QTimer::singleShot(std::max(cli.value(at).toInt(), 150), &app, [&] {
            player.playbackTick();
            const bool saved = player.grab().save(cli.value(png));
            app.exit(saved ? 0 : 1);
        });
        return app.exec();
    }
    player.show();
    return app.exec();
}
