#pragma once

#include "frontend/qt/qt_seams.h"
#include "game/frontend.h"

#include <QDialog>

class Form1Window;
class PageView;
class QLineEdit;
class QPushButton;
class frmAutoBest;

// The solver window on Qt, drawn from frmAutoBest's state; its page view draws the page for the
// address the rules point it at.
class FrmAutoBestWindow : public QDialog, public View {
    Q_OBJECT

  public:
    FrmAutoBestWindow(frmAutoBest& core, Form1Window& main);
    ~FrmAutoBestWindow() override;

    frmAutoBest& core() { return core_; }
    void sync() override;

    PageView* WebBrowser1 = nullptr;
    QPushButton* CmdDo = nullptr;
    QLineEdit* txtResult = nullptr;
    QPushButton* CmdPrior = nullptr;
    QPushButton* CmdNext = nullptr;

  private:
    frmAutoBest& core_;
    Form1Window& main_;
};
