// kavrel-config: the configurator window for Linux and macOS.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QIcon>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "kavrel_version.h"
#include "qt/main_window.h"

namespace {

// --grab: a picture of the window, for documentation and bug reports; works without a screen
// (QT_QPA_PLATFORM=offscreen).
void grabLater(MainWindow& window, const QString& file, int seconds) {
    QTimer::singleShot(seconds * 1000, &window, [&window, file] {
        if (!window.grab().save(file, "PNG"))
            std::fprintf(stderr, "kavrel-config: could not save the picture of the window as %s: check that its folder exists and can be written\n",
                         qPrintable(file));
        window.close();
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kavrel-config"));
    QApplication::setApplicationVersion(QStringLiteral(KAVREL_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("kavrel-config"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kavrel-config.svg")));
    // Qt takes the user's locale; numbers in the form are read and written with a decimal point,
    // as the Windows program does (atof, "%3.3f").
    std::setlocale(LC_NUMERIC, "C");

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reads, edits, saves and writes the configuration of a Kavrel tracker."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Lists DEVICE first among the serial ports and selects it (may be repeated)."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption grab(QStringLiteral("grab"),
                                  QStringLiteral("Saves a picture of the window as FILE (PNG) after a few seconds and ends."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption grabAfter(QStringLiteral("grab-after"), QStringLiteral("Seconds before --grab (default 3)."),
                                       QStringLiteral("SECONDS"), QStringLiteral("3"));
    parser.addOptions({port, grab, grabAfter});
    parser.process(app);

    std::vector<std::string> named;
    for (const QString& device : parser.values(port)) named.push_back(QFile::encodeName(device).toStdString());
    MainWindow window(named);
    QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
    window.show();
    if (parser.isSet(grab)) grabLater(window, parser.value(grab), parser.value(grabAfter).toInt());
    return app.exec();
}
