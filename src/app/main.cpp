// Program entry: installs the desktop services, prepares the main window (start-up reads the
// settings, the language, the device catalogue and the command line) and runs it until it
// closes; the window's close stores the settings and releases what start-up made.
#include "platform/DesktopCallerLink.h"
#include "platform/DesktopNotifier.h"
#include "platform/DesktopShell.h"
#include "platform/DesktopSleepInhibitor.h"
#include "platform/DesktopSound.h"
#include "platform/DesktopTaskbarProgress.h"
#include "platform/ProgramStart.h"
#include "window/MainF.h"
#include "window/MainWindowView.h"
#include "window/QtFormServices.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace ondrava;

namespace {

int g_signalPipe[2] = {-1, -1};

// The program's sounds last under a second; a sound device that never reports the end must
// not keep the program for longer.
constexpr int kLongestSoundMs = 3000;

void OnTerminateSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

// A session that ends, or a terminal's Ctrl+C, closes the window as the user would, so the
// settings are stored. A second signal (say while a conversion holds the window open) ends
// the program at once. The signals are caught from the very start; one that arrives before the
// window exists waits in the pipe and closes the window as soon as it runs.
void CatchTerminateSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    std::signal(SIGTERM, OnTerminateSignal);
    std::signal(SIGINT, OnTerminateSignal);
}

void CloseOnTerminateSignals(QWidget& window)
{
    if (g_signalPipe[1] < 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[1], &byte, 1);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        window.close();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    CatchTerminateSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    // No display name: Qt would append it to every caption, and the title bar must show exactly
    // the caption the window sets.
    QApplication::setApplicationVersion(QStringLiteral(ONDRAVA_VERSION));

    DesktopShell desktopShell;
    SetShell(&desktopShell);
    DesktopSoundPlayer desktopSound;
    SetSoundPlayer(&desktopSound);
    DesktopNotifier desktopNotifier;
    SetNotifier(&desktopNotifier);
    DesktopCallerLink callerLink;
    SetCallerLink(&callerLink);
    DesktopTaskbarProgress taskbar;
    SetTaskbarProgress(&taskbar);
    DesktopSleepInhibitor sleepInhibitor;
    SetSleepInhibitor(&sleepInhibitor);
    // The user is back: the taskbar's call for attention after a run has been answered.
    const QMetaObject::Connection attentionAnswered = QObject::connect(
        &app, &QGuiApplication::applicationStateChanged, &app, [&taskbar](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                taskbar.SetUrgent(false);
        });

    int result = 0;
    {
        QtFormServices services;
        TMainForm form(services);
        // The program's parameters as the system split them, without the program name.
        form.Arguments = QCoreApplication::arguments().mid(1);
        form.ProgramStart = ProgramStartTime();
        form.FormCreate();
        // Without a source file the window starts in its "no source" state, also when no
        // prompt text ran the source box's change handler.
        if (!QFileInfo(form.SourceFilenameEdit.Text()).isFile())
            form.SourceFilenameEditChange(&form.SourceFilenameEdit);

        MainWindowView window(form);
        services.SetWindow(&window);
        CloseOnTerminateSignals(window);
        window.show();
        result = app.exec();
        services.SetWindow(nullptr);
        // The view's close runs the form's close; this covers an end of the loop without one
        // (a second run finds nothing left to store or free).
        form.FormClose();
    }

    // The window is gone; its last sound (the end of an automatic run) still plays out. A
    // request to end meanwhile ends the program at once: there is nothing left to store.
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    desktopSound.FinishPlaying(kLongestSoundMs);

    QObject::disconnect(attentionAnswered);
    SetSleepInhibitor(nullptr);
    SetTaskbarProgress(nullptr);
    SetCallerLink(nullptr);
    SetNotifier(nullptr);
    SetSoundPlayer(nullptr);
    SetShell(nullptr);
    return result;
}
