#pragma once
// A single-line edit box that also takes one file or folder dragged from the file manager
// and reports the drop to its owner. The box never changes its own text on a drop: the
// owner's handler decides what to do with the path.
#include <QLineEdit>
#include <QPoint>
#include <functional>

namespace ondrava {

// Sender (the box), the full local path of the dropped item, the drop point in the box's
// coordinates.
using TssDropFileEvent = std::function<void(QObject* sender, const QString& fileName, const QPoint& dropPoint)>;

class TssDropFileEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TssDropFileEdit(QWidget* parent = nullptr);

    bool AcceptFile() const { return FAcceptFile; }
    // True makes the box a drop target; false refuses every drag.
    void SetAcceptFile(bool value);

    // Called on a drop of exactly one local path, before DropFile is emitted. The window's
    // view connects to the DropFile signal; this callback is for owners without a QObject.
    // Use one of the two, not both, or the drop is handled twice.
    TssDropFileEvent OnDropFile;

Q_SIGNALS:
    void DropFile(QObject* sender, const QString& fileName, const QPoint& dropPoint);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool FAcceptFile = true;
};

}  // namespace ondrava
