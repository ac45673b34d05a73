#pragma once
// The device catalogue: the presets of presets.xml in file order.
#include <QString>
#include <memory>
#include <vector>

namespace ondrava {

class TDevPreset {
public:
    // Takes id, name, params and extension from the inner text of one device element.
    explicit TDevPreset(const QString& xmlString);

    int ID = 0;
    QString Name;
    QString idName;  // Name in ASCII lower case without blanks: the key of "-gadget="
    QString Params;
    QString Extension;
};

class TDevicePresets {
public:
    // Loads the catalogue file; a missing file gives an empty catalogue. A file that exists
    // but cannot be read throws ondrava::Error with the reason.
    explicit TDevicePresets(const QString& xmlFileName);

    void Clear();
    int Count() const;
    const TDevPreset* Device(int index) const;           // nullptr when index >= Count()
    const TDevPreset* GetDeviceByID(int id) const;       // first match in file order, or nullptr
    int GetDeviceIDByName(const QString& idName) const;  // exact, case-sensitive; -1 when none

private:
    bool LoadDevices(const QString& xmlFileName);
    std::vector<std::unique_ptr<TDevPreset>> ListDevices;
};

}  // namespace ondrava
