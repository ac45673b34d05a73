// The device catalogue file, whole, as the program reads it at start-up.
#include "FuzzSupport.h"
#include "presets/DevicePresets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ondrava;
    const QString file = fuzz::WriteScratchFile(QStringLiteral("presets.xml"), fuzz::BytesOf(data, size));
    const TDevicePresets presets(file);
    FUZZ_CHECK(presets.Count() >= 0);
    FUZZ_CHECK(presets.Device(presets.Count()) == nullptr);
    FUZZ_CHECK(presets.Device(-1) == nullptr);
    for (int i = 0; i < presets.Count(); ++i) {
        const TDevPreset* device = presets.Device(i);
        FUZZ_CHECK(device != nullptr);
        // Only devices with an ID are kept, and each can be found again by ID and by name.
        FUZZ_CHECK(device->ID > 0);
        const TDevPreset* byId = presets.GetDeviceByID(device->ID);
        FUZZ_CHECK(byId != nullptr && byId->ID == device->ID);
        FUZZ_CHECK(presets.GetDeviceIDByName(device->idName) > 0);
        FUZZ_CHECK(!device->idName.contains(QLatin1Char(' ')));
    }
    FUZZ_CHECK(presets.GetDeviceByID(0) == nullptr);
    return 0;
}
