#include "window/QtFormServices.h"

#include "common/Convert.h"
#include "window/AboutF.h"
#include "window/Controls.h"
#include "window/QtMenus.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace ondrava {

namespace {

QString BoxTitle()
{
    return QApplication::applicationName();
}

}  // namespace

QtFormServices::QtFormServices(QWidget* window) : m_window(window) {}

QtFormServices::~QtFormServices()
{
    delete m_popup.data();
}

void QtFormServices::ShowMessage(const QString& text)
{
    QMessageBox::information(m_window, BoxTitle(), text, QMessageBox::Ok);
}

void QtFormServices::ShowWarning(const QString& text)
{
    QMessageBox::warning(m_window, BoxTitle(), text, QMessageBox::Ok);
}

void QtFormServices::ShowInformation(const QString& text)
{
    QMessageBox::information(m_window, BoxTitle(), text, QMessageBox::Ok);
}

bool QtFormServices::AskYesNo(const QString& text)
{
    return QMessageBox::question(m_window, BoxTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void QtFormServices::ShowError(const QString& text)
{
    if (m_window) {
        QMessageBox::critical(m_window, BoxTitle(), text, QMessageBox::Ok);
        return;
    }
    // An error of start-up, before the window exists: the box must not hold start-up up, or an
    // automatic conversion asked for on the command line would wait for a user who is not
    // there. It shows as soon as the window runs; closing the window still ends the program.
    auto* box = new QMessageBox(QMessageBox::Critical, BoxTitle(), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_QuitOnClose, false);
    box->setModal(false);
    box->show();
}

QStringList QtFormServices::NameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    // A trailing description without patterns is no entry.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            // "*.*" means every file; on Linux many names have no dot at all.
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        result << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QString QtFormServices::CompleteChosenName(const QString& path, const QString& defaultExt)
{
    if (defaultExt.isEmpty() || !ExtractFileExt(path).isEmpty())
        return path;
    return path + QLatin1Char('.') + defaultExt;
}

std::unique_ptr<QFileDialog> QtFormServices::MakeOpenDialog(const TOpenDialog& dialog, QWidget* parent)
{
    auto box = std::make_unique<QFileDialog>(parent, dialog.Title);
    box->setAcceptMode(QFileDialog::AcceptOpen);
    // The output dialog names a file that need not exist yet.
    box->setFileMode(QFileDialog::AnyFile);
    box->setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = NameFilters(dialog.Filter);
    if (!filters.isEmpty()) {
        box->setNameFilters(filters);
        const int index = dialog.FilterIndex - 1;
        box->selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }
    if (!dialog.InitialDir.isEmpty())
        box->setDirectory(dialog.InitialDir);
    if (!dialog.FileName.isEmpty())
        box->selectFile(dialog.FileName);
    return box;
}

bool QtFormServices::ExecuteOpenDialog(TOpenDialog& dialog)
{
    const std::unique_ptr<QFileDialog> box = MakeOpenDialog(dialog, m_window);
    if (box->exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = box->selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return false;
    dialog.FileName = CompleteChosenName(chosen.first(), dialog.DefaultExt);
    // The dialog names the chosen filter without its patterns.
    const QStringList filters = box->nameFilters();
    const QString chosenFilter = box->selectedNameFilter();
    for (int i = 0; i < int(filters.size()); ++i) {
        if (filters[i] == chosenFilter || filters[i].startsWith(chosenFilter + QLatin1String(" ("))) {
            dialog.FilterIndex = i + 1;
            break;
        }
    }
    return true;
}

void QtFormServices::PopupAt(TPopupMenu& menu, const QPoint& globalPos)
{
    // The model decides the items' state as the popup opens.
    if (menu.OnPopup)
        RunUserStep(*this, [&menu] { menu.OnPopup(&menu); });
    delete m_popup.data();
    auto* popup = new QMenu(m_window);
    FillMenu(popup, menu.Items, *this);
    QObject::connect(popup, &QMenu::aboutToHide, popup, [popup] { popup->deleteLater(); });
    m_popup = popup;
    popup->popup(globalPos);
}

void QtFormServices::PopupAtCursor(TPopupMenu& menu)
{
    PopupAt(menu, QCursor::pos());
}

void QtFormServices::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void QtFormServices::CloseWindow()
{
    if (m_window)
        m_window->close();
}

bool QtFormServices::IsWindowActive()
{
    return !m_window || m_window->isActiveWindow();
}

void QtFormServices::ShowAbout()
{
    TAboutForm::ShowModalFor(m_window);
}

}  // namespace ondrava
