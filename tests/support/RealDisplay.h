#pragma once
// A private X server for tests that need a real display: Xvfb on a display number it picks
// itself, real input through the XTest extension (xdotool), and what a person or a window
// manager sees of the windows (xprop, xwininfo, screenshots with ImageMagick's import).
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

namespace realdisplay {

// Polls pred every 40 ms until it holds or timeoutMs has passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);

class XDisplay {
public:
    XDisplay() = default;
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Starts Xvfb on a free display number; false when it could not start.
    bool Start(int width = 1024, int height = 768);
    // ":N"
    QString Name() const { return m_name; }
    bool Running() const;

    // Runs an X client (xdotool, xprop, ...) on this display and returns its standard output;
    // *ok tells whether it ended with exit code 0.
    QString Tool(const QString& program, const QStringList& args, bool* ok = nullptr,
                 int timeoutMs = 20000) const;

    // Real input through XTest.
    void MoveMouse(QPoint screen) const;
    void Click(QPoint screen, int button = 1) const;  // 1 left, 2 middle, 3 right
    void PressButton(QPoint screen, int button = 1) const;
    void ReleaseButton(int button = 1) const;
    void Key(const QString& keys) const;  // xdotool key names, e.g. "Return", "alt+f"
    void Type(const QString& text) const;
    // Gives a window the keyboard focus (there is no window manager to do it).
    void Focus(qulonglong window) const;

    // Windows of a process that are mapped, as X window ids.
    QList<qulonglong> VisibleWindows(qint64 pid) const;
    bool IsViewable(qulonglong window) const;
    // A window's place on the screen (inner area; there are no decorations).
    QRect Geometry(qulonglong window) const;
    // A text property of a window as xprop prints it, without quotes; empty when it is unset.
    QString TextProperty(qulonglong window, const QString& property) const;
    // The whole screen.
    QImage Screenshot() const;

private:
    QProcess m_server;
    QString m_name;
};

}  // namespace realdisplay
