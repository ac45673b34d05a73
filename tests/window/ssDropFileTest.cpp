#include "window/ssDropFile.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ondrava;

namespace {

struct Drop {
    QObject* sender;
    QString fileName;
    QPoint point;
};

// A box with both ways of hearing about a drop recorded, and real files to drop.
class DropBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        file = m_dir.path() + QStringLiteral("/clip one.avi");
        other = m_dir.path() + QStringLiteral("/b.avi");
        folder = m_dir.path() + QStringLiteral("/videos");
        testsupport::WriteFile(file, "x");
        testsupport::WriteFile(other, "x");
        ASSERT_TRUE(QDir().mkpath(folder));
        box.setText(QStringLiteral("typed"));
        box.OnDropFile = [this](QObject* s, const QString& f, const QPoint& p) { callbacks.push_back({s, f, p}); };
        QObject::connect(&box, &TssDropFileEdit::DropFile,
                         [this](QObject* s, const QString& f, const QPoint& p) { signals_.push_back({s, f, p}); });
    }

    static std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls)
    {
        auto mime = std::make_unique<QMimeData>();
        mime->setUrls(urls);
        return mime;
    }

    bool DragEnter(const QMimeData* mime, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QDragEnterEvent event(QPoint(4, 3), actions, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
        return event.isAccepted();
    }

    Qt::DropAction DropOn(const QMimeData* mime, const QPoint& at = QPoint(5, 7),
                          Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QDropEvent event(QPointF(at), actions, mime, Qt::LeftButton, Qt::NoModifier);
        event.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(&box, &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }

    QTemporaryDir m_dir;
    QString file, other, folder;
    TssDropFileEdit box;
    std::vector<Drop> callbacks;
    std::vector<Drop> signals_;
};

TEST_F(DropBox, StartsAcceptingFiles)
{
    EXPECT_TRUE(box.AcceptFile());
    EXPECT_TRUE(box.acceptDrops());
}

TEST_F(DropBox, OneLocalPathRaisesTheEventWithoutTouchingTheText)
{
    struct Case {
        const char* name;
        QList<QUrl> urls;
        QString expected;  // empty: no event
    };
    const Case cases[] = {
        {"one file", {QUrl::fromLocalFile(file)}, file},
        {"one folder", {QUrl::fromLocalFile(folder)}, folder},
        {"folder with a trailing slash", {QUrl::fromLocalFile(folder + QLatin1Char('/'))}, folder},
        {"two files", {QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}, {}},
        {"a web address", {QUrl(QStringLiteral("https://example.org/a.avi"))}, {}},
        {"no items", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        callbacks.clear();
        signals_.clear();
        const auto mime = Urls(c.urls);
        DragEnter(mime.get());
        DropOn(mime.get());
        EXPECT_EQ(box.text(), QStringLiteral("typed"));
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(callbacks.empty());
            EXPECT_TRUE(signals_.empty());
            continue;
        }
        for (const auto* raised : {&callbacks, &signals_}) {
            ASSERT_EQ(raised->size(), 1u);
            EXPECT_EQ(raised->front().sender, &box);
            EXPECT_EQ(raised->front().fileName, c.expected);
            EXPECT_EQ(raised->front().point, QPoint(5, 7));
        }
    }
}

TEST_F(DropBox, DraggedTextIsNeitherTakenNorInserted)
{
    QMimeData mime;
    mime.setText(QStringLiteral("hello"));
    EXPECT_FALSE(DragEnter(&mime));
    DropOn(&mime);
    EXPECT_EQ(box.text(), QStringLiteral("typed"));
    EXPECT_TRUE(signals_.empty());
}

TEST_F(DropBox, RefusingBoxTakesNoDrop)
{
    box.SetAcceptFile(false);
    EXPECT_FALSE(box.AcceptFile());
    EXPECT_FALSE(box.acceptDrops());
    const auto mime = Urls({QUrl::fromLocalFile(file)});
    EXPECT_FALSE(DragEnter(mime.get()));
    EXPECT_EQ(DropOn(mime.get()), Qt::IgnoreAction);
    EXPECT_TRUE(callbacks.empty());
    EXPECT_TRUE(signals_.empty());

    box.SetAcceptFile(true);
    EXPECT_TRUE(DragEnter(mime.get()));
    DropOn(mime.get());
    EXPECT_EQ(signals_.size(), 1u);
}

TEST_F(DropBox, DroppedItemIsCopiedNeverMoved)
{
    // A move would let the file manager delete the user's file after the drop.
    const auto mime = Urls({QUrl::fromLocalFile(file)});
    EXPECT_TRUE(DragEnter(mime.get()));
    EXPECT_EQ(DropOn(mime.get()), Qt::CopyAction);
    EXPECT_FALSE(DragEnter(mime.get(), Qt::MoveAction));
    EXPECT_EQ(DropOn(mime.get(), QPoint(1, 1), Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(signals_.size(), 1u);
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(DropBox, DropsStillArriveAfterTheWindowIsRecreated)
{
    QWidget first, second;
    box.setParent(&first);
    first.show();
    box.setParent(&second);
    second.show();
    box.show();
    EXPECT_TRUE(box.acceptDrops());
    const auto mime = Urls({QUrl::fromLocalFile(file)});
    EXPECT_TRUE(DragEnter(mime.get()));
    DropOn(mime.get());
    EXPECT_EQ(signals_.size(), 1u);
    box.setParent(nullptr);
}

}  // namespace
