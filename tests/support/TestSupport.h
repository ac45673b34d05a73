#pragma once
// Small helpers shared by the tests: files on disk, generated clips and fake tools.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <functional>

namespace testsupport {

// Folders and tools of the build.
QString SourceDir();        // tests/ in the source tree (fixtures live there)
QString BuildProgramDir();  // the program directory of the build tree
QString BuildProgram();     // the program in it ("Ondrava"; "ondrava" there is the help folder)
QString FfmpegPath();       // Debian's ffmpeg as found at configure time
QString FfprobePath();

void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Writes an executable shell script (a fake tool) with the given body after "#!/bin/sh".
void WriteScript(const QString& path, const QByteArray& body);

// Copies a program folder (the build's, usually) to another place; links (the media tool) are
// left out, so the copy's tool can be replaced by a fake.
void CopyProgramDir(const QString& from, const QString& to);

// Generates a clip with Debian's ffmpeg from its lavfi test sources.
// Returns false (and the test should fail) when ffmpeg could not make it.
bool MakeClip(const QString& path, double seconds, bool video = true, bool audio = true,
              const QString& size = QStringLiteral("320x240"));

// Runs a program to its end and returns its exit code (-1 when it did not start or crashed);
// standard output and error are merged into *output when given.
int RunProgram(const QString& program, const QStringList& args, QByteArray* output = nullptr,
               int timeoutMs = 120000);

// Polls pred every 20 ms until it holds or timeoutMs has passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);

// Adapts a sanitizer build's options for the program on an X display, whose libraries are not
// ours: their allocations held until exit are no leaks of the program, and the keyboard library
// hands strndup a buffer without a terminator, which the strict string check takes for an
// overflow. Leaks and strings stay checked where the program runs offscreen.
void RelaxSanitizerForDisplay(QProcessEnvironment& env);

// The environment for the real program under test: this one's, offscreen, with private
// configuration, data and runtime folders, and the product's site on a refused loopback port,
// so that nothing reaches the user's settings or another host.
QProcessEnvironment PrivateProgramEnvironment(const QString& configHome, const QString& dataHome,
                                              const QString& runtimeDir);

}  // namespace testsupport
