#include "window/ssDropFile.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace ondrava {

namespace {

// The dragged item is never moved away from its owner: a drop only reads the path, so it
// offers to copy (or link) and refuses a pure move, which would let the source delete it.
bool AcceptWithoutMove(QDropEvent* event)
{
    const Qt::DropActions possible = event->possibleActions();
    if (possible & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else if (possible & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else {
        event->ignore();
        return false;
    }
    event->accept();
    return true;
}

// The one local path carried by the drag, or empty when it carries none or several.
QString SingleLocalPath(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    QString path = urls.front().toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace

TssDropFileEdit::TssDropFileEdit(QWidget* parent)
    : QLineEdit(parent)
{
    SetAcceptFile(true);
}

void TssDropFileEdit::SetAcceptFile(bool value)
{
    FAcceptFile = value;
    setAcceptDrops(value);
}

void TssDropFileEdit::dragEnterEvent(QDragEnterEvent* event)
{
    // Only file lists are taken; dragged text must not be inserted into the box.
    if (!FAcceptFile || !event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    AcceptWithoutMove(event);
}

void TssDropFileEdit::dragMoveEvent(QDragMoveEvent* event)
{
    // The base class would move the text cursor along with the drag.
    if (!FAcceptFile || !event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    AcceptWithoutMove(event);
}

void TssDropFileEdit::dropEvent(QDropEvent* event)
{
    // Never handed to the base class: the box does not insert the dropped text.
    if (!FAcceptFile || !event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    if (!AcceptWithoutMove(event))
        return;
    // Several items are ignored as a whole.
    const QString path = SingleLocalPath(event->mimeData());
    if (path.isEmpty())
        return;
    const QPoint point = event->position().toPoint();
    if (OnDropFile)
        OnDropFile(this, path, point);
    Q_EMIT DropFile(this, path, point);
}

}  // namespace ondrava
