#include "app/RegZelt.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

namespace ondrava {

namespace {

const QString kOrganisation = QStringLiteral("Zelt");

// A value ends at its first NUL, as the download managers store and read them.
QString UpToNul(QString text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

Error InvalidDataType(const QString& name)
{
    return Error(QStringLiteral("Invalid data type for '%1'").arg(name));
}

Error FailedToSetData(const QString& name)
{
    return Error(QStringLiteral("Failed to set data for '%1'").arg(name));
}

// --- The INI file of INI mode -------------------------------------------------------------
// A plain text file in UTF-8: "[section]" lines and "name=value" lines. Section names are
// taken literally, so the store's section keeps its backslash ("[\Ondrava]"). Backslashes,
// CR and LF in values are escaped so that a value can never break the file's lines.

QString EscapeIniValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar ch : value) {
        if (ch == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (ch == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (ch == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else
            out += ch;
    }
    return out;
}

QString UnescapeIniValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch != QLatin1Char('\\') || i + 1 == value.size()) {
            out += ch;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else
            out += next;
    }
    return out;
}

struct IniLines {
    QStringList lines;

    static IniLines Load(const QString& fileName)
    {
        IniLines ini;
        QFile file(fileName);
        if (!file.exists())
            return ini;
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
        const QString text = QString::fromUtf8(file.readAll());
        ini.lines = text.split(QLatin1Char('\n'));
        for (QString& line : ini.lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        if (!ini.lines.isEmpty() && ini.lines.constLast().isEmpty())
            ini.lines.removeLast();
        return ini;
    }

    void Save(const QString& fileName) const
    {
        QSaveFile file(fileName);
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok) {
            for (const QString& line : lines) {
                file.write(line.toUtf8());
                file.write("\n");
            }
            ok = file.commit();
        }
        if (!ok)
            throw Error(QStringLiteral("Unable to write to %1").arg(fileName));
    }

    static bool IsHeader(const QString& line, QString* name)
    {
        const QString t = line.trimmed();
        if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
            return false;
        *name = t.mid(1, t.size() - 2);
        return true;
    }

    // Index of the section's header line, or -1.
    qsizetype FindSection(const QString& section) const
    {
        QString name;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (IsHeader(lines.at(i), &name) && name == section)
                return i;
        }
        return -1;
    }

    // One past the section's last line.
    qsizetype SectionEnd(qsizetype header) const
    {
        QString name;
        qsizetype i = header + 1;
        while (i < lines.size() && !IsHeader(lines.at(i), &name))
            ++i;
        return i;
    }

    // Index of the entry's line within the section, or -1.
    qsizetype FindEntry(qsizetype header, const QString& key, QString* value) const
    {
        const qsizetype end = SectionEnd(header);
        for (qsizetype i = header + 1; i < end; ++i) {
            const QString& line = lines.at(i);
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq > 0 && line.left(eq).trimmed() == key) {
                if (value)
                    *value = UnescapeIniValue(line.mid(eq + 1));
                return i;
            }
        }
        return -1;
    }
};

QString IniRead(const QString& fileName, const QString& section, const QString& key)
{
    const IniLines ini = IniLines::Load(fileName);
    const qsizetype header = ini.FindSection(section);
    QString value;
    if (header < 0 || ini.FindEntry(header, key, &value) < 0)
        return {};
    return value;
}

void IniWrite(const QString& fileName, const QString& section, const QString& key, const QString& value)
{
    IniLines ini = IniLines::Load(fileName);
    const QString line = key + QLatin1Char('=') + EscapeIniValue(value);
    qsizetype header = ini.FindSection(section);
    if (header < 0) {
        ini.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        ini.lines.append(line);
    } else {
        const qsizetype entry = ini.FindEntry(header, key, nullptr);
        if (entry >= 0)
            ini.lines[entry] = line;
        else
            ini.lines.insert(ini.SectionEnd(header), line);
    }
    ini.Save(fileName);
}

bool IniDelete(const QString& fileName, const QString& section, const QString& key)
{
    IniLines ini = IniLines::Load(fileName);
    const qsizetype header = ini.FindSection(section);
    if (header < 0)
        return false;
    const qsizetype entry = ini.FindEntry(header, key, nullptr);
    if (entry < 0)
        return false;
    ini.lines.removeAt(entry);
    ini.Save(fileName);
    return true;
}

}  // namespace

TZeltRegistry::TZeltRegistry(const QString& programName, bool useIniFile, const QString& iniFileName)
{
    QString name = programName;
    if (!name.startsWith(QLatin1Char('\\')))
        name.prepend(QLatin1Char('\\'));
    ProgName = name;
    CurrentZeltKey = QStringLiteral("\\Software\\Zelt") + name;
    UseIniFile = useIniFile;
    if (UseIniFile) {
        IniFileName = iniFileName;
        IniFileSection = name;
        // Without a file name there is no INI file; the store then keeps to the settings file.
        HasIniFile = !iniFileName.isEmpty();
    }
}

QString TZeltRegistry::FileName() const
{
    const QString application = ProgName.mid(1);
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, application).fileName();
}

bool TZeltRegistry::WriteStringPar(const QString& name, const QString& value, bool toRegistryOnly)
{
    if (UseIniFile && !toRegistryOnly && HasIniFile) {
        IniWrite(IniFileName, IniFileSection, name, value);
        return true;
    }
    const QString fileName = FileName();
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSettings settings(fileName, QSettings::NativeFormat);
    settings.setValue(name, value);
    settings.sync();
    // A file with lines the store cannot parse is rewritten without them; only a refused write
    // is an error.
    if (settings.status() == QSettings::AccessError)
        throw FailedToSetData(name);
    return true;
}

QString TZeltRegistry::ReadStringPar(const QString& name, bool fromRegistryOnly) const
{
    if (UseIniFile && !fromRegistryOnly && HasIniFile)
        return UpToNul(IniRead(IniFileName, IniFileSection, name));
    const QString fileName = FileName();
    if (!QFileInfo(fileName).isFile())
        return {};
    const QSettings settings(fileName, QSettings::NativeFormat);
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return {};
    if (value.typeId() != QMetaType::QString)
        throw InvalidDataType(name);
    return UpToNul(value.toString());
}

bool TZeltRegistry::DeleteStringPar(const QString& name)
{
    if (UseIniFile && HasIniFile)
        return IniDelete(IniFileName, IniFileSection, name);
    const QString fileName = FileName();
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QFile file(fileName);
    if (!file.exists()) {
        // Like opening a key with creation: the program's store exists afterwards, empty.
        file.open(QIODevice::WriteOnly);
        return false;
    }
    QSettings settings(fileName, QSettings::NativeFormat);
    if (!settings.contains(name))
        return false;
    settings.remove(name);
    settings.sync();
    return settings.status() != QSettings::AccessError;
}

}  // namespace ondrava
