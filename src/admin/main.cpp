#include "core/session/AdminTool.h"
#include "document/QuoteTool.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    // Only the quote draws; it needs Qt Gui, never a display.
    const bool quote = argc > 1 && qstrcmp(argv[1], "quote") == 0;
    if (quote)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        quote ? std::make_unique<QGuiApplication>(argc, argv)
              : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    return quote ? QuoteTool::run(arguments.mid(1), out, err) : AdminTool::run(arguments, out, err);
}
