#pragma once
// Device button pictures: every picture a button is given must be a readable Windows bitmap,
// so that a broken images folder is reported at start-up instead of showing empty buttons.
#include <QString>

namespace ondrava {

// Returns normally when fileName is a readable bitmap ("BM" and a sane header); otherwise
// throws ondrava::Error naming the file.
void CheckDevicePicture(const QString& fileName);

// The picture of a device: ProgramDir + "images/device_" + idName + ".bmp" when that file
// exists, else the shared ProgramDir + "images/device1_4state.bmp". A name that cannot be a
// file name (a "/" in it) finds no picture of its own.
QString DevicePictureFile(const QString& programDir, const QString& idName);

}  // namespace ondrava
