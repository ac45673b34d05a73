#pragma once
// A program directory holding "ffmpeg" as a link to the system's tool, and a short clip of
// picture and sound made once per test program.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "support/TestSupport.h"

class RealToolFixture {
public:
    static void SetUpShared()
    {
        programDir = std::make_unique<QTemporaryDir>();
        work = std::make_unique<QTemporaryDir>();
        linked = QFile::link(testsupport::FfmpegPath(), programDir->filePath(QStringLiteral("ffmpeg")));
        // 176x144 is the smallest size every output format's codec takes (H.263 has a fixed set).
        clip = work->filePath(QStringLiteral("clip.avi"));
        clipMade = testsupport::MakeClip(clip, 1.0, true, true, QStringLiteral("176x144"));
    }
    static void TearDownShared()
    {
        programDir.reset();
        work.reset();
    }
    static void RequireTool()
    {
        ASSERT_TRUE(linked) << "cannot link the tool into a program directory";
        ASSERT_TRUE(clipMade) << "the tool could not make the test clip";
    }

    static inline std::unique_ptr<QTemporaryDir> programDir;
    static inline std::unique_ptr<QTemporaryDir> work;
    static inline QString clip;
    static inline bool linked = false;
    static inline bool clipMade = false;
};
