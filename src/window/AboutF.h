#pragma once
// The About box: the program's name, version, home page and support address, the credits
// and the rights notice. Made anew for every showing, so the home page is the current
// language's.
#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ondrava {

class TMainForm;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 360;
    static constexpr int kClientHeight = 302;

    // mainForm gives the home page and answers the links; without it the links do nothing.
    TAboutForm(TMainForm* mainForm, QWidget* owner = nullptr);

    // Shows the box modally for the main window that owner belongs to and destroys it after.
    static void ShowModalFor(QWidget* owner);

    // The nine lines of the credits, in order.
    static QStringList Credits();

    // The controls, in the order they are declared on the form.
    QWidget* LogoImage = nullptr;
    QLabel* TitleLabel = nullptr;
    QLabel* VerLabel = nullptr;
    QLabel* CopyrightLabel = nullptr;
    QPlainTextEdit* AuthorsMemo = nullptr;
    QLabel* HomePageLabel = nullptr;
    QLabel* EmailLabel = nullptr;
    QPushButton* OkBitBtn = nullptr;

    void FormCreate();
    void HomePageLabelClick();
    void EmailLabelClick();
    // Escape closes the box wherever the focus is; other keys are left to the controls.
    void FormShortCut(int key, bool& handled);
    void OkBitBtnClick();
    void OkBitBtnEnter();
    void OkBitBtnExit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();

    TMainForm* m_mainForm;
};

}  // namespace ondrava
