// Writes the window's icon as PNG files for the desktop menus:
//   render_icon OUTDIR SIZE...  gives OUTDIR/SIZE.png for each size.

#include "shell/app_icon.h"

#include <QDir>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: render_icon OUTDIR SIZE...\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render_icon: cannot create %s\n", qPrintable(args[1]));
        return 1;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        const QString file = out.filePath(args[i] + QStringLiteral(".png"));
        if (!ok || size <= 0 || !vizmo::shell::appIconImage(size).save(file)) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
