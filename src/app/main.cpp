#include <QApplication>
#include <QByteArrayList>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

#include "app/AppIcon.h"
#include "app/MainForm.h"
#include "cli/CommandLine.h"
#include "cli/RunCommandLine.h"
#include "common/AppPaths.h"
#include "common/IniFile.h"
#include "common/LocaleCodePage.h"
#include "platform/MessageBoxSink.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignal.h"

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

bool IsOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// Without a display the window cannot open; say so instead of letting the
// toolkit abort.
bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view command = argv[1];
        if (command == "find" || command == "replace") return kelvara::RunCommandLine(argc, argv);
        if (IsOption(command)) {
            std::fputs(kelvara::CommandLineUsage(), command == "--help" ? stdout : stderr);
            return command == "--help" ? 0 : 2;
        }
    }
    if (!HasDisplay()) {
        std::fputs("kelvara: no display to open the window on\n", stderr);
        std::fputs(kelvara::CommandLineUsage(), stderr);
        return 2;
    }
    // The paths are taken before Qt sees the arguments.
    const QByteArrayList paths = AbsolutePaths(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvara"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(kelvara::AppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvara"));

    const std::string settingsFile = kelvara::IniFileName();
    kelvara::SingleInstance instance(kelvara::SingleInstance::ServerName(settingsFile));
    if (instance.HandOver(paths)) return 0;

    kelvara::SetTextCodePage(kelvara::CodePageOfSettings(kelvara::TIniFile(settingsFile)));
    kelvara::InstallMessageBoxSink();
    kelvara::TMainForm frame(settingsFile);
    QObject::connect(&frame, &kelvara::TMainForm::Closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &kelvara::SingleInstance::PathsReceived, &frame,
                     &kelvara::TMainForm::OpenPaths);
    kelvara::OnTerminationSignal(&frame, [&frame] { frame.close(); });
    frame.show();
    instance.Listen();
    frame.OpenPaths(paths);
    return application.exec();
}
