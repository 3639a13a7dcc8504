#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class Form1;
class ImageControl;
class QLabel;
class QPushButton;
class QWidget;

// The options window: hall of fame, picture choice and about, chosen by Form1::ShowMsg when it
// loads. It keeps no state of its own between openings.
class FrmOption : public QDialog {
    Q_OBJECT

  public:
    explicit FrmOption(Form1& main);

    // Runs at every opening, before the window shows.
    void Form_Load();

    void ImgBG_Click(std::int16_t Index);
    void CmdOK2_Click();
    void Image5_Click();

    QWidget* PicAbout = nullptr;
    ImageControl* Image1 = nullptr;
    QLabel* LblAbout = nullptr;
    ImageControl* Image5 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Lbl33Champion = nullptr;
    QLabel* Lbl44Champion = nullptr;
    QPushButton* CmdOK2 = nullptr;
    QWidget* PicOption = nullptr;
    std::array<ImageControl*, 4> ImgBG{};

  private:
    void Form_Initialize();
    void ShowAbout();
    void ShowBackdrop();

    Form1& main_;
};
