#pragma once
// The project chooser raised once after start: open a project, create one,
// or leave the program.  It cannot be closed in any other way.
#include <QDialog>

#include <array>

class QLabel;
class TImageButton;

class TFwyborProjektu : public QDialog {
    Q_OBJECT
public:
    explicit TFwyborProjektu(QWidget* parent = nullptr);

    QLabel* Image1;          // background picture
    TImageButton* ImageButton1;  // "Open project"
    TImageButton* ImageButton2;  // "New project"
    TImageButton* ImageButton3;  // "Exit"
    QLabel* Label1;          // captions below the buttons
    QLabel* Label2;
    QLabel* Label3;

    // True when a project was opened or created; false at creation.
    bool Wynik() const { return wynik_; }
    // Set only by the three actions; until then every close is refused.
    bool MozeZamknac() const { return mozeZamknac_; }

public slots:
    void ImageButton1Click();  // open
    void ImageButton2Click();  // new
    void ImageButton3Click();  // exit
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Finish(bool result);

    bool wynik_ = false;
    bool mozeZamknac_ = false;
};

// Shows the chooser modally and frees it; true when a project was opened
// or created.
bool ChooseProject();
