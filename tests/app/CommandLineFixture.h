#pragma once
// A program folder with a fake media tool and a private configuration folder for the tests of
// the command line and the calling program's notice.
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace ondrava::test {

// The tool contract in a few lines: the probe reports a duration; a conversion writes its
// progress file and the output named last, and ends well. FAKE_TOOL_FAIL makes it fail.
inline const QByteArray kFakeTool =
    "if [ \"$1\" = \"-progress\" ]; then\n"
    "  progress=\"$2\"\n"
    "  for a in \"$@\"; do out=\"$a\"; done\n"
    "  printf 'out_time_ms=1000000\\nprogress=continue\\n' > \"$progress\"\n"
    "  [ -n \"$FAKE_TOOL_FAIL\" ] && exit 1\n"
    "  printf 'converted' > \"$out\"\n"
    "  printf 'out_time_ms=2000000\\nprogress=end\\n' >> \"$progress\"\n"
    "  exit 0\n"
    "fi\n"
    "echo '  Duration: 00:00:02.00, start: 0.000000, bitrate: 100 kb/s' >&2\n"
    "exit 1\n";

// The calling program: records its arguments, one a line, in <its folder>/calls.txt.
inline const QByteArray kFakeManager =
    "dir=$(dirname \"$0\")\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$dir/calls.txt\"; done\n";

// A value of a program's store as the converter left it ($XDG_CONFIG_HOME/Zelt/<name>.conf).
inline QString StoreValue(const QString& configHome, const QString& program, const QString& key)
{
    QSettings store(configHome + QStringLiteral("/Zelt/") + program + QStringLiteral(".conf"),
                    QSettings::NativeFormat);
    return store.value(key).toString();
}

inline void SetStoreValue(const QString& configHome, const QString& program, const QString& key,
                          const QString& value)
{
    QDir().mkpath(configHome + QStringLiteral("/Zelt"));
    QSettings store(configHome + QStringLiteral("/Zelt/") + program + QStringLiteral(".conf"),
                    QSettings::NativeFormat);
    store.setValue(key, value);
    store.sync();
}

}  // namespace ondrava::test
