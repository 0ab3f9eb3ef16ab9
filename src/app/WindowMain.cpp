#include <QApplication>
#include <QByteArrayList>
#include <cstdlib>
#include <unistd.h>

#include "app/AppIcon.h"
#include "app/MainForm.h"
#include "common/AppPaths.h"
#include "common/IniFile.h"
#include "common/LocaleCodePage.h"
#include "platform/HeapTuning.h"
#include "platform/MessageBoxSink.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignal.h"
#include "platform/Translations.h"

namespace {

// The files named on the command line, as absolute paths: a running instance
// that takes them over has its own current folder.
QByteArrayList AbsolutePaths(int argc, char** argv) {
    QByteArrayList paths;
    char* folder = getcwd(nullptr, 0);
    const QByteArray current = folder ? QByteArray(folder) : QByteArray();
    std::free(folder);
    for (int i = 1; i < argc; ++i) {
        const QByteArray path(argv[i]);
        paths.append(path.startsWith('/') || current.isEmpty() ? path : current + '/' + path);
    }
    return paths;
}

} // namespace

// The window part's entry, loaded by the program to open its window.
extern "C" __attribute__((visibility("default"))) int KelvaraWindowMain(int argc, char** argv) {
    // The paths are taken before Qt sees the arguments.
    const QByteArrayList paths = AbsolutePaths(argc, argv);
    kelvara::GiveBackLargeBlocks();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvara"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(kelvara::AppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvara"));

    const std::string settingsFile = kelvara::IniFileName();
    kelvara::SingleInstance instance(kelvara::SingleInstance::ServerName(settingsFile));
    if (instance.HandOver(paths)) return 0;

    const kelvara::TIniFile settings(settingsFile);
    kelvara::SetTextCodePage(kelvara::CodePageOfSettings(settings));
    kelvara::InstallTranslations(kelvara::ChosenLanguage(settings), kelvara::TranslationsFolder());
    kelvara::InstallMessageBoxSink();
    kelvara::TMainForm frame(settingsFile);
    QObject::connect(&frame, &kelvara::TMainForm::Closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &kelvara::SingleInstance::PathsReceived, &frame,
                     &kelvara::TMainForm::OpenPaths);
    kelvara::OnTerminationSignal(&frame, [&frame] { frame.CloseOnSignal(); });
    frame.show();
    instance.Listen();
    frame.OpenPaths(paths);
    return application.exec();
}
