#pragma once
// The real program on a private X server: a copy of the build's program folder whose media tool
// is a slow stand-in that keeps a record of its calls, private configuration, data and runtime
// folders, and a recorder in place of the desktop's opener (xdg-open, the browser), so that no
// click on a link, the help or an output file reaches anything outside the test.
#include "support/RealDisplay.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace realdisplay {

// One call of the stand-in tool.
struct ToolCall {
    qint64 pid = 0;
    bool conversion = false;  // false: a duration probe
    QStringList args;
    bool ended = false;       // it ran to its end (a stopped run is killed before)
};

class DisplayProgram {
public:
    // Where the controls of the form lie inside the window's client area (below the menu bar):
    // the form's own coordinates. Controls on a tab page are offset by the page's origin.
    static constexpr int kClientWidth = 477;
    static constexpr int kClientHeight = 294;

    explicit DisplayProgram(XDisplay& display);
    ~DisplayProgram();
    DisplayProgram(const DisplayProgram&) = delete;
    DisplayProgram& operator=(const DisplayProgram&) = delete;

    bool Valid() const;
    XDisplay& Display() const { return m_display; }

    // Folders of the private set-up.
    QString Root() const { return m_tmp.path(); }
    QString ProgramDir() const { return Root() + QStringLiteral("/program"); }
    QString DataHome() const { return Root() + QStringLiteral("/data"); }
    QString Work(const QString& name = QString()) const;
    QString RecordDir() const { return Root() + QStringLiteral("/record"); }

    // Stored settings before the start.
    void SetStored(const QString& key, const QString& value);
    // The stand-in converts for this long (seconds) and then writes its output.
    void SetToolSeconds(double seconds);
    // The real media tool instead of the stand-in (for the main path).
    void UseRealTool();

    // Starts the program and waits for its main window; false when it did not show.
    bool Start(const QStringList& args = {});
    bool Running() const;
    qint64 Pid() const;
    // Waits for the program to end; false when it still runs.
    bool WaitForEnd(int timeoutMs);
    QProcess& Process() { return *m_process; }
    // Ends the program by its id when it still runs.
    void End();

    qulonglong MainWindow() const { return m_window; }
    // The main window's place on the screen (it does not move: there is no window manager).
    QRect MainGeometry() const { return m_geometry; }
    // The client area's top-left corner on the screen.
    QPoint ClientOrigin() const;
    // A point of the client area (form coordinates) on the screen.
    QPoint At(int x, int y) const { return ClientOrigin() + QPoint(x, y); }
    // A point on the Format or Device page (coordinates inside the page).
    QPoint OnPage(int x, int y) const { return At(kPageLeft + x, kPageTop + y); }
    void ClickAt(int x, int y, int button = 1) const { m_display.Click(At(x, y), button); }
    void FocusMainWindow() const { m_display.Focus(m_window); }

    // Windows of the program that are mapped besides the main window (menus, popups, boxes).
    QList<qulonglong> OtherWindows() const;
    // Waits until a window besides the main one shows / none does.
    bool WaitForOtherWindow(int timeoutMs) const;
    bool WaitForNoOtherWindow(int timeoutMs) const;
    QString Title() const;     // _NET_WM_NAME of the main window
    QString WmName() const;    // WM_NAME of the main window
    // The client area as shown now.
    QImage ClientShot() const;

    // The stand-in's record.
    QList<ToolCall> ToolCalls() const;
    int Conversions() const;
    // Stand-in tools alive now (by the ids they left in the record folder).
    QList<qint64> ToolsAlive() const;
    // The most tools that ever ran at once.
    int MostToolsAtOnce() const;
    // What reached the desktop's opener: one line per call.
    QStringList OpenerCalls() const;
    // Progress files left in the data folder.
    QStringList ProgressFiles() const;

    // The origin of the tab pages inside the client area (the tab widget at 8, 91 with its
    // tab bar and frame, as the Fusion style draws it).
    static constexpr int kPageLeft = 8 + 2;
    static constexpr int kPageTop = 91 + 25;

private:
    void WriteStandIn();

    XDisplay& m_display;
    QTemporaryDir m_tmp;
    std::unique_ptr<QProcess> m_process;
    qulonglong m_window = 0;
    QRect m_geometry;
};

}  // namespace realdisplay
