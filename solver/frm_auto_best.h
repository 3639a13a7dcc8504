#pragma once

#include "solver/bfs_solver.h"

#include <QDialog>

#include <cstdint>
#include <string>

class Form1;
class PageView;
class QLineEdit;
class QPushButton;

// The solver window: runs one search per opening on the position handed over in STATE and
// walks through its result, each position shown on the page view.
class frmAutoBest : public QDialog {
    Q_OBJECT

  public:
    explicit frmAutoBest(Form1& main);

    std::string STATE;

    // Runs at every opening, before the window shows.
    void Form_Load();

    void CmdDo_Click();
    void CmdNext_Click();
    void CmdPrior_Click();

    std::int16_t CurStep() const { return CurStep_; }
    const BfsSolver& solver() const { return solver_; }

    PageView* WebBrowser1 = nullptr;
    QPushButton* CmdDo = nullptr;
    QLineEdit* txtResult = nullptr;
    QPushButton* CmdPrior = nullptr;
    QPushButton* CmdNext = nullptr;

  private:
    int lastStep() const;
    void showStep();

    Form1& main_;
    BfsSolver solver_;
    std::int16_t CurStep_ = 0;
};
