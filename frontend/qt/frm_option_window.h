#pragma once

#include "frontend/qt/qt_seams.h"
#include "game/frontend.h"

#include <QDialog>

#include <array>

class Form1Window;
class FrmOption;
class ImageControl;
class QLabel;
class QPushButton;

// The options window on Qt, drawn from FrmOption's state.
class FrmOptionWindow : public QDialog, public View {
    Q_OBJECT

  public:
    FrmOptionWindow(FrmOption& core, Form1Window& main);
    ~FrmOptionWindow() override;

    FrmOption& core() { return core_; }
    void sync() override;

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
    FrmOption& core_;
    Form1Window& main_;
    std::array<int, 4> shownPictures_{};
};
